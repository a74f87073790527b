// A script client of tkShared.CGlobal, late-bound: JScript's texts and its
// arrays of variants. Wine's VBArray reads no typed arrays: byte and long
// arrays are checked by passing them back.
var g = new ActiveXObject('tkShared.CGlobal');
check(g.URLEncode('a b/c\u20AC') == 'a%20b%2Fc%E2%82%AC', 'URLEncode: ' + g.URLEncode('a b/c\u20AC'));
check(g.URLEncode('\uD83D\uDE00') == '%F0%9F%98%80', 'URLEncode of a surrogate pair');
var bytes = g.Base64DecodeB('YWJjBk==');
check(g.Base64EncodeB(bytes) == 'YWJjBk==', 'Base64EncodeB of a decoded byte array');
check(g.Base64EncodeB(variantArray([97])) == 'Bh==', 'Base64EncodeB of variants');
var longs = g.ByteArrayToLongArray(variantArray([1, 0, 0, 0, 2, 0, 0, 0]));
check(g.FormatString('%1,%2,%3', longs) == '1,2,%3', 'ByteArrayToLongArray');
check(g.Base64EncodeB(g.LongArrayToByteArray(variantArray([1]))) == 'AQAA' + 'AA==', 'LongArrayToByteArray');
check(g.FormatString('Cannot open %1 (%2)', variantArray(['a.txt', false])) == 'Cannot open a.txt (False)',
      'FormatString');
check(g.IsArrayEmpty(variantArray([])) && !g.IsArrayEmpty(variantArray([1])), 'IsArrayEmpty');
check(g.WindowsVersion().indexOf('Platform: Windows NT. Version: ') == 0, 'WindowsVersion');
var notImplemented = errorOf(function () { g.IsConnected(); });
check(notImplemented != null && notImplemented.number == -2147467263, 'IsConnected raises E_NOTIMPL');
done();
