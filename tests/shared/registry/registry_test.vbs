' A script client of tkShared.CRegistry, late-bound.
Const HKCU = &H80000001
Dim reg, base, child, text, value, names, keys, cause, n, buffer(9), small(1), unallocated(), length
Set reg = CreateObject("tkShared.CRegistry")
base = "Software\tkShared registry script test"
child = base & "\Child"
reg.DeleteKey HKCU, base
Check reg.SetSTRING(HKCU, base, "Name", "Green") And reg.SetDWORD(HKCU, base, "Count", 65), "SetSTRING, SetDWORD"
Check reg.SetSTRING(HKCU, child, "", String(40000, "x")), "SetSTRING of a text beyond 64 KB in a child key"
Check reg.QuerySTRING(HKCU, base, "Name", value) And value = "Green", "QuerySTRING: " & value
Check reg.QuerySTRING(HKCU, child, "", value) And value = String(40000, "x"), "QuerySTRING of a long text"
' A number reads as the text of its bytes up to the first zero unit.
Check reg.QuerySTRING(HKCU, base, "Count", value) And value = "A", "QuerySTRING of a number: " & value
Check Not reg.QuerySTRING(HKCU, base, "Missing", value) And value = "", "QuerySTRING of a missing value: " & value
Check reg.QueryDWORD(HKCU, base, "Count", n) And n = 65, "QueryDWORD: " & n
Set names = reg.EnumValues(HKCU, base)
Check names.Count = 2 And Not names.IsInCollection("Count"), "EnumValues gives two names and no keys"
Check names(1) & names(2) = "NameCount" Or names(1) & names(2) = "CountName", "EnumValues names"
Set keys = reg.EnumKey(HKCU, base)
Check keys.Count = 1 And keys("child") = "Child", "EnumKey by name"
Check reg.EnumKey(HKCU, base & "\Missing").Count = 0 And reg.IsKeyExist(HKCU, child), "EnumKey, IsKeyExist"
Check reg.EnumValuesEx(HKCU, base, names, cause) And names.Count = 2, "EnumValuesEx"
Check Not reg.EnumValuesEx(HKCU, base & "\Missing", names, cause) And names.Count = 0, "EnumValuesEx of a missing key"
Check cause = "OpenKey failed('HKEY_CURRENT_USER\" & base & "\Missing', ReadOnly=True)", "FalseCause: " & cause
text = base & "\"
value = reg.SaveAsReg50(HKCU, text)
Check InStr(value, """Count""=dword:00000041") > 0 And InStr(value, """Name""=""Green""") > 0, "SaveAsReg50"
Check text = base, "SaveAsReg50 drops the trailing backslash: " & text
Check reg.SetDWORD(HKCU, base, "Minus", -2) And reg.QueryDWORD(HKCU, base, "Minus", n) And n = -2, "QueryDWORD: " & n
n = 7
Check Not reg.QueryDWORD(HKCU, base, "Name", n) And n = 7, "QueryDWORD of a text leaves the variable"
Check reg.SetBINARY(HKCU, base, "Bin", Array(1, 2, 255), 3), "SetBINARY from a script array"
Check reg.QueryBINARY(HKCU, base, "Bin", buffer, length) And length = 3, "QueryBINARY into a script array"
Check buffer(0) = 1 And buffer(1) = 2 And buffer(2) = 255 And IsEmpty(buffer(3)), "QueryBINARY data"
Check Not reg.QueryBINARY(HKCU, base, "Bin", small, length) And IsEmpty(small(0)), "QueryBINARY into a short array"
Check reg.SetBINARY(HKCU, base, "Four", Array(1, 2, 3, 4), 4) And reg.QueryDWORD(HKCU, base, "Four", n), "four bytes"
Check n = &H4030201, "QueryDWORD of four bytes: " & Hex(n)
Check reg.SetBINARY(HKCU, base, "None", Array(1), 0), "SetBINARY of no bytes"
Check reg.SaveSingleValueAsReg50(HKCU, base & "\", "none") = _
  vbCrLf & "[HKEY_CURRENT_USER\" & base & "]" & vbCrLf & """None""=hex:" & vbCrLf, "an empty binary value"
Check reg.SaveSingleValueAsReg50(HKCU, base, "Missing") & reg.SaveAsReg50(HKCU, base & "\Missing") = "", "missing"
On Error Resume Next
reg.SetBINARY HKCU, base, "Beyond", Array(1, 2), 3
CheckError &H80070057, "SetBINARY of a length beyond the array"
reg.QueryBINARY HKCU, base, "Bin", text, length
CheckError &H80070057, "QueryBINARY into a text"
reg.QueryBINARY HKCU, base, "Bin", unallocated, length
Check Err.Source = "tkShared.CRegistry", "QueryBINARY into an array without elements: " & Err.Source
CheckError 9, "QueryBINARY into an array without elements, as the script's own Subscript out of range"
On Error GoTo 0
Check Not reg.QueryBINARY(HKCU, base, "Beyond", buffer, length), "nothing written beyond the array"
Check reg.DeleteValue(HKCU, base, "Count") And Not reg.QuerySTRING(HKCU, base, "Count", value), "DeleteValue"
Check Not reg.DeleteValue(HKCU, base, "Count") And reg.DeleteValue(HKCU, base & "\Missing", "Count"), _
  "DeleteValue of a missing value fails, in a missing key succeeds"
cause = "unset"
Check reg.DeleteKeyEx(HKCU, base, cause) And cause = "", "DeleteKeyEx: " & cause
Check Not reg.IsKeyExist(HKCU, base), "key gone after DeleteKeyEx"
Done
