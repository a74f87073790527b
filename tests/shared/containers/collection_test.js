// A script client of tkShared.CCollection in JScript, late-bound: the
// language's own way to call, enumerate and catch (the VBScript client proves
// the rest).
var c = new ActiveXObject('tkShared.CCollection');
c.Add('one', 'Alpha');
c.Add('zero', 'Zero', 'ALPHA');
var order = '';
for (var e = new Enumerator(c); !e.atEnd(); e.moveNext()) order += e.item() + ';';
check(c.Count == 2 && c.Item('alpha') == 'one' && order == 'zero;one;', 'Add, Count, Item, Enumerator: ' + order);
var dup = errorOf(function () { c.Add('again', 'ALPHA'); });
check(dup != null && (dup.number & 0xFFFF) == 457 && dup.description.length > 0, 'duplicate key');
check(c.IsInCollection('zero') && !c.IsInCollection('missing'), 'IsInCollection');
done();
