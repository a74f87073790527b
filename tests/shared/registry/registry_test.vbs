' A script client of tkShared.CRegistry, late-bound.
Const HKCU = &H80000001
Dim reg, base, value, names, cause, keys, text, n
Set reg = CreateObject("tkShared.CRegistry")
base = "Software\tkShared registry script test"
reg.DeleteKey HKCU, base

Check reg.SetSTRING(HKCU, base, "Name", "Green"), "SetSTRING"
Check reg.SetDWORD(HKCU, base, "Count", 42), "SetDWORD"
Check reg.SetSTRING(HKCU, base & "\Child", "", "x"), "SetSTRING in a child key"

value = ""
Check reg.QuerySTRING(HKCU, base, "Name", value), "QuerySTRING result"
Check value = "Green", "QuerySTRING value: " & value
value = "old"
Check Not reg.QuerySTRING(HKCU, base, "Missing", value), "QuerySTRING of a missing value"
Check value = "", "QuerySTRING of a missing value empties it: " & value
n = 0
Check reg.QueryDWORD(HKCU, base, "Count", n), "QueryDWORD result"
Check n = 42, "QueryDWORD value: " & n

Set names = reg.EnumValues(HKCU, base)
Check names.Count = 2, "EnumValues count: " & names.Count
Check names.IsInCollection("Name") = False, "EnumValues gives no keys"
Check names.Count = 2 And ((names(1) = "Name" And names(2) = "Count") Or (names(1) = "Count" And names(2) = "Name")), "EnumValues names"
Set keys = reg.EnumKey(HKCU, base)
Check keys.Count = 1, "EnumKey count: " & keys.Count
Check keys("child") = "Child", "EnumKey by name"
Check reg.IsKeyExist(HKCU, base & "\Child"), "IsKeyExist"

cause = ""
Check reg.EnumValuesEx(HKCU, base, names, cause), "EnumValuesEx result"
Check names.Count = 2, "EnumValuesEx count: " & names.Count
Check Not reg.EnumValuesEx(HKCU, base & "\Missing", names, cause), "EnumValuesEx of a missing key"
Check cause = "OpenKey failed('HKEY_CURRENT_USER\" & base & "\Missing', ReadOnly=True)", "FalseCause: " & cause
Check names.Count = 0, "EnumValuesEx of a missing key gives an empty collection"

Check reg.SetBINARY(HKCU, base, "Bin", Array(1, 2, 255), 3), "SetBINARY from a script array"
Dim buffer(9), length
length = 0
Check reg.QueryBINARY(HKCU, base, "Bin", buffer, length), "QueryBINARY into a script array"
Check length = 3, "QueryBINARY length: " & length
Check buffer(0) = 1 And buffer(1) = 2 And buffer(2) = 255, "QueryBINARY data"
Check IsEmpty(buffer(3)), "QueryBINARY leaves the rest of the buffer"

text = base & "\"
Check InStr(reg.SaveAsReg50(HKCU, text), """Count""=dword:0000002a") > 0, "SaveAsReg50 text"
Check text = base, "SaveAsReg50 drops the trailing backslash: " & text

Check reg.DeleteValue(HKCU, base, "Name"), "DeleteValue"
Check Not reg.QuerySTRING(HKCU, base, "Name", value), "value gone after DeleteValue"

On Error Resume Next
reg.DeleteKey HKCU, "\"
CheckError &H80070057, "DeleteKey of the root raises E_INVALIDARG"
On Error GoTo 0

cause = "unset"
Check reg.DeleteKeyEx(HKCU, base, cause), "DeleteKeyEx"
Check cause = "", "DeleteKeyEx FalseCause: " & cause
Check Not reg.IsKeyExist(HKCU, base), "key gone after DeleteKeyEx"
Done
