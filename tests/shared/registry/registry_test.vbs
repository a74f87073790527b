' A script client of tkShared.CRegistry, late-bound. Prints PASS when every check holds.
Option Explicit
Const HKCU = &H80000001
Dim reg, base, ok, value, names, cause, keys, text, failures, n
failures = 0
Sub Check(condition, what)
  If Not condition Then
    WScript.Echo "FAIL: " & what
    failures = failures + 1
  End If
End Sub

Set reg = CreateObject("tkShared.CRegistry")
base = "Software\tkShared registry script test"
reg.DeleteKey HKCU, base

Call Check(reg.SetSTRING(HKCU, base, "Name", "Green"), "SetSTRING")
Call Check(reg.SetDWORD(HKCU, base, "Count", 42), "SetDWORD")
Call Check(reg.SetSTRING(HKCU, base & "\Child", "", "x"), "SetSTRING in a child key")

value = ""
Call Check(reg.QuerySTRING(HKCU, base, "Name", value), "QuerySTRING result")
Call Check(value = "Green", "QuerySTRING value: " & value)
value = "old"
Call Check(Not reg.QuerySTRING(HKCU, base, "Missing", value), "QuerySTRING of a missing value")
Call Check(value = "", "QuerySTRING of a missing value empties it: " & value)
n = 0
Call Check(reg.QueryDWORD(HKCU, base, "Count", n), "QueryDWORD result")
Call Check(n = 42, "QueryDWORD value: " & n)

Set names = reg.EnumValues(HKCU, base)
Call Check(names.Count = 2, "EnumValues count: " & names.Count)
Call Check(names.IsInCollection("Name") = False, "EnumValues gives no keys")
Call Check((names(1) = "Name" And names(2) = "Count") Or (names(1) = "Count" And names(2) = "Name"), "EnumValues names")
Set keys = reg.EnumKey(HKCU, base)
Call Check(keys.Count = 1, "EnumKey count: " & keys.Count)
Call Check(keys("child") = "Child", "EnumKey by name")
Call Check(reg.IsKeyExist(HKCU, base & "\Child"), "IsKeyExist")

cause = ""
Call Check(reg.EnumValuesEx(HKCU, base, names, cause), "EnumValuesEx result")
Call Check(names.Count = 2, "EnumValuesEx count: " & names.Count)
Call Check(Not reg.EnumValuesEx(HKCU, base & "\Missing", names, cause), "EnumValuesEx of a missing key")
Call Check(cause = "OpenKey failed('HKEY_CURRENT_USER\" & base & "\Missing', ReadOnly=True)", "FalseCause: " & cause)
Call Check(names.Count = 0, "EnumValuesEx of a missing key gives an empty collection")

Call Check(reg.SetBINARY(HKCU, base, "Bin", Array(1, 2, 255), 3), "SetBINARY from a script array")
Dim buffer(9), length
length = 0
Call Check(reg.QueryBINARY(HKCU, base, "Bin", buffer, length), "QueryBINARY into a script array")
Call Check(length = 3, "QueryBINARY length: " & length)
Call Check(buffer(0) = 1 And buffer(1) = 2 And buffer(2) = 255, "QueryBINARY data")
Call Check(IsEmpty(buffer(3)), "QueryBINARY leaves the rest of the buffer")

text = base & "\"
Call Check(InStr(reg.SaveAsReg50(HKCU, text), """Count""=dword:0000002a") > 0, "SaveAsReg50 text")
Call Check(text = base, "SaveAsReg50 drops the trailing backslash: " & text)

Call Check(reg.DeleteValue(HKCU, base, "Name"), "DeleteValue")
Call Check(Not reg.QuerySTRING(HKCU, base, "Name", value), "value gone after DeleteValue")

On Error Resume Next
reg.DeleteKey HKCU, "\"
Call Check(Err.Number = &H80070057, "DeleteKey of the root raises E_INVALIDARG: " & Hex(Err.Number))
Err.Clear
On Error GoTo 0

cause = "unset"
Call Check(reg.DeleteKeyEx(HKCU, base, cause), "DeleteKeyEx")
Call Check(cause = "", "DeleteKeyEx FalseCause: " & cause)
Call Check(Not reg.IsKeyExist(HKCU, base), "key gone after DeleteKeyEx")

If failures = 0 Then
  WScript.Echo "PASS"
End If
