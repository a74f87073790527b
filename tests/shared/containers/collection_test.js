// A script client of tkShared.CCollection in JScript, late-bound: the
// language's own way to call a parameterised property and to enumerate (the
// VBScript client proves the rest).
var c = new ActiveXObject('tkShared.CCollection');
c.Add('one', 'Alpha');
c.Add('zero', 'Zero', 'ALPHA');
var order = '';
for (var e = new Enumerator(c); !e.atEnd(); e.moveNext()) order += e.item() + ';';
check(c.Count == 2 && c.Item('alpha') == 'one' && order == 'zero;one;', 'Add, Count, Item, Enumerator: ' + order);
done();
