' A script client of tkShared.CRegistry, late-bound.
Const HKCU = &H80000001
Dim reg, base, value, names, keys, cause, text, n
Set reg = CreateObject("tkShared.CRegistry")
base = "Software\tkShared registry script test"
reg.DeleteKey HKCU, base
Check reg.SetSTRING(HKCU, base, "Name", "Green") And reg.SetDWORD(HKCU, base, "Count", 42), "SetSTRING, SetDWORD"
Check reg.SetSTRING(HKCU, base & "\Child", "", "x"), "SetSTRING in a child key"
Check reg.QuerySTRING(HKCU, base, "Name", value) And value = "Green", "QuerySTRING: " & value
Check Not reg.QuerySTRING(HKCU, base, "Missing", value) And value = "", "QuerySTRING of a missing value: " & value
Check reg.QueryDWORD(HKCU, base, "Count", n) And n = 42, "QueryDWORD: " & n
Set names = reg.EnumValues(HKCU, base)
Check names.Count = 2 And Not names.IsInCollection("Name"), "EnumValues gives two names and no keys"
Check names(1) & names(2) = "NameCount" Or names(1) & names(2) = "CountName", "EnumValues names"
Set keys = reg.EnumKey(HKCU, base)
Check keys.Count = 1 And keys("child") = "Child", "EnumKey by name"
Check reg.IsKeyExist(HKCU, base & "\Child"), "IsKeyExist"
Check reg.EnumValuesEx(HKCU, base, names, cause) And names.Count = 2, "EnumValuesEx"
Check Not reg.EnumValuesEx(HKCU, base & "\Missing", names, cause) And names.Count = 0, "EnumValuesEx of a missing key"
Check cause = "OpenKey failed('HKEY_CURRENT_USER\" & base & "\Missing', ReadOnly=True)", "FalseCause: " & cause
Check reg.SetBINARY(HKCU, base, "Bin", Array(1, 2, 255), 3), "SetBINARY from a script array"
Dim buffer(9), length
Check reg.QueryBINARY(HKCU, base, "Bin", buffer, length) And length = 3, "QueryBINARY into a script array"
Check buffer(0) = 1 And buffer(1) = 2 And buffer(2) = 255 And IsEmpty(buffer(3)), "QueryBINARY data"
text = base & "\"
Check InStr(reg.SaveAsReg50(HKCU, text), """Count""=dword:0000002a") > 0, "SaveAsReg50 text"
Check text = base, "SaveAsReg50 drops the trailing backslash: " & text
Check reg.DeleteValue(HKCU, base, "Name") And Not reg.QuerySTRING(HKCU, base, "Name", value), "DeleteValue"
On Error Resume Next
reg.DeleteKey HKCU, "\"
CheckError &H80070057, "DeleteKey of the root raises E_INVALIDARG"
On Error GoTo 0
cause = "unset"
Check reg.DeleteKeyEx(HKCU, base, cause) And cause = "", "DeleteKeyEx: " & cause
Check Not reg.IsKeyExist(HKCU, base), "key gone after DeleteKeyEx"
Done
