// The helpers every script client of the tests shares, put before each
// script: check reports a failed check, done prints PASS when none failed.
var failures = 0;
function check(ok, what) { if (!ok) { WScript.Echo('FAIL: ' + what); failures++; } }
function errorOf(action) { try { action(); } catch (e) { return e; } return null; }
// JScript builds no arrays of its own that COM can read; a dictionary's items are one.
function variantArray(values) {
  var d = new ActiveXObject('Scripting.Dictionary');
  for (var i = 0; i < values.length; i++) d.Add(i, values[i]);
  return d.Items();
}
function done() { if (failures == 0) WScript.Echo('PASS'); }
