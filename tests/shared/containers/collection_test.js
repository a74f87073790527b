// A script client of tkShared.CCollection, late-bound. Prints PASS when every check holds.
var failures = 0;
function check(ok, what) { if (!ok) { WScript.Echo('FAIL: ' + what); failures++; } }
function errorOf(action) { try { action(); } catch (e) { return e; } return null; }

var c = new ActiveXObject('tkShared.CCollection');
c.Add('one', 'Alpha');
c.Add('two', 'Beta');
c.Add('zero', 'Zero', 'ALPHA');
check(c.Count == 3, 'Count: ' + c.Count);
check(c.Item('alpha') == 'one', 'Item by key in another case');
check(c.Item(1) == 'zero', 'Before placed by key');

var order = '';
for (var e = new Enumerator(c); !e.atEnd(); e.moveNext()) order += e.item() + ';';
check(order == 'zero;one;two;', 'Enumerator order: ' + order);

var dup = errorOf(function () { c.Add('again', 'ALPHA'); });
check(dup != null && (dup.number & 0xFFFF) == 457, 'duplicate key number');
check(dup != null && dup.description.length > 0, 'duplicate key description');
var missing = errorOf(function () { return c.Item('missing'); });
check(missing != null && (missing.number & 0xFFFF) == 5, 'missing key number');
check(missing != null && missing.description.length > 0, 'missing key description');
check(c.Count == 3, 'failures added nothing');

check(c.IsInCollection('beta'), 'IsInCollection in another case');
check(!c.IsInCollection('missing'), 'IsInCollection of a missing key');
c.Remove('beta');
check(c.Count == 2, 'Remove by key');

if (failures == 0) WScript.Echo('PASS');
