// A script client of tkShared.CGlobal, late-bound. Prints PASS when every check holds.
// Wine's VBArray reads no typed arrays: byte and long arrays are checked by passing them back.
var failures = 0;
function check(ok, what) { if (!ok) { WScript.Echo('FAIL: ' + what); failures++; } }
function errorOf(action) { try { action(); } catch (e) { return e; } return null; }
// JScript builds no arrays of its own that COM can read; a dictionary's items are one.
function variantArray(values) {
  var d = new ActiveXObject('Scripting.Dictionary');
  for (var i = 0; i < values.length; i++) d.Add(i, values[i]);
  return d.Items();
}

var g = new ActiveXObject('tkShared.CGlobal');
check(g.SQLEncode("O'Brien") == "O''Brien", 'SQLEncode');
check(g.XMLDecode('&amp;lt;') == '<', 'XMLDecode');
check(g.XMLEncode('"&"') == '&quot;&amp;&quot;', 'XMLEncode');
check(g.URLEncode('a b/c\u20AC') == 'a%20b%2Fc%E2%82%AC', 'URLEncode: ' + g.URLEncode('a b/c\u20AC'));
check(g.URLEncode('\uD83D\uDE00') == '%F0%9F%98%80', 'URLEncode of a surrogate pair');
check(g.Base64Encode('ab') == 'GFi=', 'Base64Encode: ' + g.Base64Encode('ab'));

var bytes = g.Base64DecodeB('YWJjBk==');
check(!g.IsArrayEmpty(bytes), 'Base64DecodeB gives bytes');
check(g.Base64EncodeB(bytes) == 'YWJjBk==', 'Base64EncodeB of a decoded byte array');
check(g.Base64EncodeB(variantArray([97])) == 'Bh==', 'Base64EncodeB of variants');
var longs = g.ByteArrayToLongArray(variantArray([1, 0, 0, 0, 2, 0, 0, 0]));
check(g.FormatString('%1,%2,%3', longs) == '1,2,%3', 'ByteArrayToLongArray');
check(g.Base64EncodeB(g.LongArrayToByteArray(variantArray([1]))) == 'AQAA' + 'AA==', 'LongArrayToByteArray');

check(g.FormatString('Cannot open %1 (%2)', variantArray(['a.txt', false])) == 'Cannot open a.txt (False)',
      'FormatString');
check(g.FormatString('%1%10', variantArray(['one', 2, 3, 4, 5, 6, 7, 8, 9, 'ten'])) == 'oneten',
      'FormatString from the highest number down');
check(g.IsArrayEmpty(variantArray([])), 'IsArrayEmpty of an empty array');
check(!g.IsArrayEmpty(variantArray([1])), 'IsArrayEmpty of one element');
check(g.IsArrayEmpty('text'), 'IsArrayEmpty of a text');

check(g.newGuid().length == 38, 'newGuid');
check(g.WindowsVersion().indexOf('Platform: Windows NT. Version: ') == 0, 'WindowsVersion');
check(g.LocalApplicationDataFolder() == g.SHGetFolderPath(28), 'LocalApplicationDataFolder');
check(g.ExpandEnvironmentStrings('%windir%') == g.WinDir(), 'ExpandEnvironmentStrings');
var notImplemented = errorOf(function () { g.IsConnected(); });
check(notImplemented != null && notImplemented.number == -2147467263, 'IsConnected raises E_NOTIMPL');

if (failures == 0) WScript.Echo('PASS');
