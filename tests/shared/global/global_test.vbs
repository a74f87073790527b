' A script client of tkShared.CGlobal, late-bound: arrays, by-reference
' outputs and errors as VBScript passes them (the texts are tested natively).
' Wine's VBScript reads no bounds of typed arrays and has no ChrW: byte and long
' arrays are checked by passing them back.
Dim g, arr, bytes, longs, never(), square(1, 2), major, minor, build, platform, sp, text, v, folder, program, info
Set g = CreateObject("tkShared.CGlobal")
arr = Array(97, 98, 99, 100)
Check g.Base64EncodeB(arr) = "YWJjBk==", "Base64EncodeB of an array variable"
Check g.Base64EncodeB(Array(255)) = "D/==", "Base64EncodeB of an array expression"
bytes = g.Base64DecodeB("YWJj" & vbCrLf & "Bk==")
Check g.Base64EncodeB(bytes) = "YWJjBk==", "Base64EncodeB of a decoded byte array"
longs = g.ByteArrayToLongArray(Array(1, 0, 0, 0, 2, 0, 0, 0))
Check g.FormatString("%1,%2", longs) = "1,2", "ByteArrayToLongArray values"
Check g.Base64EncodeB(g.LongArrayToByteArray(longs)) = g.Base64EncodeB(Array(1, 0, 0, 0, 2, 0, 0, 0)), "round trip"
text = g.FormatString("%1 %2 %3 %4 %5", Array("file", True, 42, False))
Check text = "file True 42 False %5", "FormatString converts as automation does: " & text
Check g.FormatString("%1", never) = "%1", "FormatString of a never-sized array"
Check g.IsArrayEmpty(never) And g.IsArrayEmpty(Array()) And g.IsArrayEmpty("text"), "IsArrayEmpty without elements"
Check Not g.IsArrayEmpty(Array(1)) And Not g.IsArrayEmpty(square), "IsArrayEmpty with elements"
Check Len(g.newGuid()) = 38 And g.newGuid() <> g.newGuid(), "newGuid"
Check g.IsWindows64bit(), "IsWindows64bit in a 64-bit process"
Check Len(g.GetCPUType()) > 0, "GetCPUType"

text = g.WindowsVersion(major, minor, build, platform, sp)
Check platform = 2 And text = "Platform: Windows NT. Version: " & major & "." & minor & "." & build & ". " & sp, text
Check g.LocalApplicationDataFolder() = g.ExpandEnvironmentStrings("%LOCALAPPDATA%"), "LocalApplicationDataFolder"
Check g.LocalSystemName() = g.ExpandEnvironmentStrings("%COMPUTERNAME%"), "LocalSystemName"

' The test's own program carries a version resource with known values.
folder = Left(WScript.ScriptFullName, InStrRev(WScript.ScriptFullName, "\"))
program = folder & "shared_global_win_test.exe"
Check g.FileVersion(program) = "1.2.3.65535", "FileVersion: " & g.FileVersion(program)
Check g.FileVersion(folder & "global_test.vbs") = "" And g.FileVersion(folder & "none.dll") = "", "FileVersion of none"
Set info = g.FileVersionInfo(program)
' The company is longer than the 1,024 characters of the old copy buffer.
Check info.Count = 2 And info(1) = "Hedgerow test company " & String(1100, "x"), "FileVersionInfo: " & info(1)
' The resource spells it "OriginalFilename"; the key is the library's name.
Check info("OriginalFileName") = "probe.exe" And info(2) = "probe.exe", "FileVersionInfo"

On Error Resume Next
v = g.IsConnected()
CheckError &H80004001, "IsConnected without dial-up"
v = g.FormatString("%1", "not an array")
CheckError &H80020005, "FormatString of a text as parameters"
v = g.FormatString("%1", square)
CheckError &H80070057, "FormatString of two dimensions"
v = g.Base64EncodeB(Array(256))
CheckError &H8002000A, "Base64EncodeB of a number beyond a byte"
On Error GoTo 0
Done
