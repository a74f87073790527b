' A script client of tkShared.CGlobal, late-bound. Prints PASS when every check holds.
' Wine's VBScript reads no bounds of typed arrays and has no ChrW: byte and long
' arrays are checked by passing them back.
Option Explicit
Dim g, failures, arr, ten, bytes, longs, never(), major, minor, build, platform, sp, text
Dim mdac, jet, v
failures = 0
Sub Check(ok, what)
  If Not ok Then
    WScript.Echo "FAIL: " & what
    failures = failures + 1
  End If
End Sub

Set g = CreateObject("tkShared.CGlobal")
Check g.SQLEncode("O'Brien") = "O''Brien", "SQLEncode"
Check g.SQLDecode("O''Brien") = "O'Brien", "SQLDecode"
Check g.XMLEncode("<a & 'b'>") = "&lt;a &amp; &apos;b&apos;&gt;", "XMLEncode"
Check g.XMLDecode("&amp;lt;") = "<", "XMLDecode resolves an escaped reference twice"
Check g.URLEncode("a b/c") = "a%20b%2Fc", "URLEncode: " & g.URLEncode("a b/c")
Check g.URLEncode(Chr(233) & "?") = Chr(233) & "%3F", "URLEncode keeps Latin-1 letters"
Check g.Base64Encode("abcd") = "YWJjBk==", "Base64Encode: " & g.Base64Encode("abcd")
Check Len(g.Base64Encode(String(57, "x"))) = 78, "Base64Encode ends a full line with CR LF"
Check Len(g.newGuid()) = 38, "newGuid length"

arr = Array(97, 98, 99, 100)
Check g.Base64EncodeB(arr) = "YWJjBk==", "Base64EncodeB of an array variable"
Check g.Base64EncodeB(Array(255)) = "D/==", "Base64EncodeB of an array expression"
bytes = g.Base64DecodeB("YWJj" & vbCrLf & "Bk==")
Check Not g.IsArrayEmpty(bytes), "Base64DecodeB gives bytes"
Check g.Base64EncodeB(bytes) = "YWJjBk==", "Base64EncodeB of a decoded byte array"

longs = g.ByteArrayToLongArray(Array(1, 0, 0, 0, 2, 0, 0, 0))
Check g.FormatString("%1,%2", longs) = "1,2", "ByteArrayToLongArray values"
bytes = g.LongArrayToByteArray(Array(1, 2))
Check g.Base64EncodeB(bytes) = g.Base64EncodeB(Array(1, 0, 0, 0, 2, 0, 0, 0)), "LongArrayToByteArray"
Check g.Base64EncodeB(g.LongArrayToByteArray(longs)) = g.Base64EncodeB(bytes), "long arrays round trip"

Check g.FormatString("Cannot open %1 (%2)", Array("a.txt", True)) = "Cannot open a.txt (True)", _
  "FormatString: " & g.FormatString("Cannot open %1 (%2)", Array("a.txt", True))
ten = Array("one", 2, 3, 4, 5, 6, 7, 8, 9, "ten")
Check g.FormatString("%1%10", ten) = "oneten", "FormatString from the highest number down"
Check g.FormatString("%2", Array("one", "[%1]")) = "[one]", "parameters with placeholders"
Check g.FormatString("%1 %3", Array("a")) = "a %3", "placeholders without parameters"

Check g.IsArrayEmpty(never), "IsArrayEmpty of a never-sized array"
Check g.IsArrayEmpty(Array()), "IsArrayEmpty of an empty array"
Check Not g.IsArrayEmpty(Array(1)), "IsArrayEmpty of one element"
Check g.IsArrayEmpty("text"), "IsArrayEmpty of a text"

text = g.WindowsVersion(major, minor, build, platform, sp)
Check text = "Platform: Windows NT. Version: " & major & "." & minor & "." & build & ". " & sp, _
  "WindowsVersion: " & text
Check major > 0 And platform = 2, "WindowsVersion outputs"
Check g.WindowsVersion() = text, "WindowsVersion without arguments"
mdac = "stale"
jet = "stale"
g.MDACJetVersion mdac, jet
Check VarType(mdac) = vbString And mdac <> "stale", "MDACJetVersion sets the data-access version"
Check VarType(jet) = vbString And jet <> "stale", "MDACJetVersion sets the engine version"

Check g.LocalApplicationDataFolder() = g.SHGetFolderPath(28), "LocalApplicationDataFolder"
Check Len(g.LocalApplicationDataFolder()) > 0, "LocalApplicationDataFolder is not empty"
Check g.ExpandEnvironmentStrings("%windir%") = g.WinDir(), "ExpandEnvironmentStrings"
Check Right(g.GetTempPath(), 1) = "\", "GetTempPath ends in a backslash"
Check Len(g.FormatMessageFromSystem(5)) > 0, "FormatMessageFromSystem"
Check g.IsWindows64bit(), "IsWindows64bit"
Check Len(g.GetCPUType()) > 0, "GetCPUType"
Check Len(g.LocalSystemName()) > 0, "LocalSystemName"
Check Not g.IsDAOAvailable(), "IsDAOAvailable"
Check g.FileVersionInfo(WScript.ScriptFullName).Count = 0, "FileVersionInfo of a script"
g.DoEventsA

On Error Resume Next
v = g.IsConnected()
Check Err.Number = &H80004001, "IsConnected without dial-up: " & Hex(Err.Number)
Err.Clear
v = g.FormatString("%1", "not an array")
Check Err.Number <> 0, "FormatString of a text as parameters"
Err.Clear
On Error GoTo 0

If failures = 0 Then WScript.Echo "PASS"
