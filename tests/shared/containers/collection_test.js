// A script client of tkShared.CCollection, late-bound.
var c = new ActiveXObject('tkShared.CCollection');
c.Add('one', 'Alpha');
c.Add('two', 'Beta');
c.Add('zero', 'Zero', 'ALPHA');
check(c.Count == 3 && c.Item('alpha') == 'one' && c.Item(1) == 'zero', 'Add, Count, Item');
var order = '';
for (var e = new Enumerator(c); !e.atEnd(); e.moveNext()) order += e.item() + ';';
check(order == 'zero;one;two;', 'Enumerator order: ' + order);
var dup = errorOf(function () { c.Add('again', 'ALPHA'); });
check(dup != null && (dup.number & 0xFFFF) == 457 && dup.description.length > 0, 'duplicate key');
var missing = errorOf(function () { return c.Item('missing'); });
check(missing != null && (missing.number & 0xFFFF) == 5 && missing.description.length > 0, 'missing key');
check(c.IsInCollection('beta') && !c.IsInCollection('missing'), 'IsInCollection');
c.Remove('beta');
check(c.Count == 2, 'Remove by key');
done();
