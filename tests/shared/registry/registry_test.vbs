' A script client of tkShared.CRegistry, late-bound.
Const HKCU = &H80000001
Const HKLM = &H80000002
Dim reg, base, child, text, value, names, cause, n, buffer(9), small(1), unallocated(), length, large
Dim wide, category, both, only32, classes, typed, system
Set reg = CreateObject("tkShared.CRegistry")
Set system = CreateObject("tkShared.CGlobal")
base = "Software\tkShared registry script test"
child = base & "\Child"
reg.DeleteKey HKCU, base
Check reg.SetSTRING(HKCU, base, "Name", "Green") And reg.SetDWORD(HKCU, base, "Count", 65), "SetSTRING, SetDWORD"
Check reg.SetSTRING(HKCU, child, "", String(40000, "x")), "SetSTRING of a text beyond 64 KB in a child key"
Check reg.QuerySTRING(HKCU, child, "", value) And value = String(40000, "x"), "QuerySTRING of a long text"
' A number reads as the text of its bytes up to the first zero unit.
Check reg.QuerySTRING(HKCU, base, "Count", value) And value = "A", "QuerySTRING of a number: " & value
Check Not reg.QuerySTRING(HKCU, base, "Missing", value) And value = "", "QuerySTRING of a missing value: " & value
Set names = reg.EnumValues(HKCU, base)
Check names.Count = 2 And Not names.IsInCollection("Count") And InStr("NameCountName", names(1) & names(2)) > 0, _
  "EnumValues gives two names and no keys"
Check reg.EnumKey(HKCU, base).Count = 1 And reg.EnumKey(HKCU, base)("child") = "Child", "EnumKey by name"
Check reg.EnumKey(HKCU, base & "\Missing").Count = 0 And reg.IsKeyExist(HKCU, child), "EnumKey, IsKeyExist"
Check Not reg.EnumValuesEx(HKCU, base & "\Missing", names, cause) And names.Count = 0, "EnumValuesEx of a missing key"
Check reg.SetDWORD(HKCU, base, "Minus", -2) And reg.QueryDWORD(HKCU, base, "Minus", n) And n = -2, "QueryDWORD: " & n
n = 7
Check Not reg.QueryDWORD(HKCU, base, "Name", n) And n = 7, "QueryDWORD of a text leaves the variable"
Check reg.SetBINARY(HKCU, base, "Four", Array(1, 2, 3, 4), 4) And reg.QueryDWORD(HKCU, base, "Four", n), "four bytes"
Check n = &H4030201, "QueryDWORD of four bytes: " & Hex(n)
Check Not reg.QueryBINARY(HKCU, base, "Four", small, length) And IsEmpty(small(0)), "QueryBINARY into a short array"
Check reg.SetBINARY(HKCU, base, "None", Array(1), 0) And reg.QueryBINARY(HKCU, base, "None", small, length) And _
  length = 0 And IsEmpty(small(0)), "SetBINARY of no bytes"
' Arrays typed as the library's own calls return them are read whole and filled from their start too.
typed = system.LongArrayToByteArray(Array(&H3020100))
Check reg.SetBINARY(HKCU, base, "Typed", system.LongArrayToByteArray(Array(&HF2F1F0)), 3) And _
  reg.QueryBINARY(HKCU, base, "Typed", typed, length) And length = 3 And _
  system.Base64EncodeB(typed) = system.Base64EncodeB(Array(&HF0, &HF1, &HF2, 3)), "typed byte arrays"
Check reg.SaveSingleValueAsReg50(HKCU, base, "Missing") & reg.SaveAsReg50(HKCU, base & "\Missing") = "", "missing"
' A tree is written parents first, and each key's subkeys before its next sibling; SaveAsReg50
' drops the trailing backslash of the caller's subkey too.
Check reg.SetSTRING(HKCU, base & "\A\B\C", "", "c") And reg.SetSTRING(HKCU, base & "\A\D", "", "d"), "a tree to export"
text = base & "\A\"
value = Replace(Replace(reg.SaveAsReg50(HKCU, text), vbCrLf & "[HKEY_CURRENT_USER\" & base, "|"), vbCrLf, "/")
Check text = base & "\A" And value = "|\A]/|\A\B]/|\A\B\C]/@=""c""/|\A\D]/@=""d""/", "SaveAsReg50: " & value
Check InStr(reg.SaveAsReg50(1, "Software\Classes\CLSID\"), vbCrLf & "[HKEY_LOCAL_MACHINE\Software\Classes\CLSID]" & _
  vbCrLf) = 1, "SaveAsReg50 from the native view"
' Names and texts beyond the system's code page, spelled by the bytes of their UTF-16 units.
Check reg.SetBINARY(HKCU, base, "Wide", Array(&HA9, 3, &H2D, &H4E, &HFC, 0), 6), "the units of a wide name"
Check reg.QuerySTRING(HKCU, base, "Wide", wide) And Len(wide) = 3, "QuerySTRING of the units: " & Len(wide)
Check reg.SetSTRING(HKCU, base & "\" & wide, wide, wide) And reg.EnumKey(HKCU, base).IsInCollection(wide), "wide names"
' QueryBINARY writes them from the start of a script's array, and nothing after them.
Check reg.QueryBINARY(HKCU, base & "\" & wide, wide, buffer, length) And length = 8 And buffer(0) = &HA9 And _
  buffer(1) = 3 And buffer(3) = &H4E And buffer(4) = &HFC And buffer(6) = 0 And IsEmpty(buffer(8)), "SetSTRING units"
Check reg.QuerySTRING(HKCU, base & "\" & wide, wide, value) And value = wide, "QuerySTRING of a wide name"
' Values beyond 64 KB, and the values after them, are listed, copied and written whole.
' 70000 bytes &H5A (90), given as texts of their numbers.
large = Split(Replace(Space(69999), " ", "90,") & "90", ",")
Check reg.SetBINARY(HKCU, child, "Large", large, 70000) And reg.SetDWORD(HKCU, child, "After", 1), "large values"
Check reg.EnumValuesEx(HKCU, child, names, cause) And names.Count = 3, "EnumValuesEx after large values"
Check reg.CopySubKey(HKCU, child, HKCU, base & "\Copy", cause) And cause = "", "CopySubKey: " & cause
text = reg.SaveAsReg50(HKCU, base & "\Copy\Child")
Check text = Replace(reg.SaveAsReg50(HKCU, child), child, base & "\Copy\Child"), "the copy's export"
Check InStr(text, "@=""" & String(40000, "x") & """") > 0 And Len(text) - Len(Replace(text, "5a", "")) = 140000 And _
  InStr(text, """After""=dword:00000001") > 0, "the export of large values"
Check reg.CopySingleValue(HKCU, child, "Large", HKCU, base & "\To", cause) And cause = "", "CopySingleValue: " & cause
Check reg.SaveSingleValueAsReg50(HKCU, base & "\To\", "LARGE") = _
  Replace(reg.SaveSingleValueAsReg50(HKCU, child, "Large"), child, base & "\To"), "the copy of a large value"
Check Not reg.CopySingleValue(HKCU, child, "Absent", HKCU, base & "\Else", cause) And _
  cause = system.FormatMessageFromSystem(2), "CopySingleValue of a missing value: " & cause
Check Not reg.CopySubKey(HKCU, base & "\Absent", HKCU, base & "\Else", cause) And InStr(cause, "\Absent'") > 0 And _
  Not reg.IsKeyExist(HKCU, base & "\Else"), "CopySubKey of a missing key tells it and leaves no copy: " & cause
' A class in both views of HKEY_CLASSES_ROOT is listed once, and when both views are asked
' for, a class of the 32-bit view also by its identifier.
category = "{0CA43E1A-AFA8-4D92-B975-F0A0C1A042E5}"
both = "{2B2B8666-C4E6-4279-8ADF-4C824A8915C1}"
only32 = "{EFF67879-564C-4F22-BD4F-BB76D89B4178}"
classes = Array("CLSID\" & both, "Wow6432Node\CLSID\" & both, "Wow6432Node\CLSID\" & only32)
For Each text In classes
  Check reg.SetSTRING(HKLM, "Software\Classes\" & text & "\Implemented Categories\" & category, "", ""), text
Next
For Each value In Array(Array(True, True, 2, True), Array(True, False, 2, False), Array(False, True, 1, False))
  Set names = reg.EnumClassesOfCategory(category, value(0), value(1))
  Check names.Count = value(2) And names.IsInCollection(only32) = value(3) And _
    names.IsInCollection(both) = value(3), "EnumClassesOfCategory " & value(0) & value(1) & ": " & names.Count
Next
' Names the system would cut at a NUL, roots the class does not know, keys too long and
' copies into themselves are refused and touch nothing.
text = base & Chr(0) & "\junk"
Check Not reg.DeleteKey(HKCU, text) And Not reg.IsKeyExist(HKCU, text), "DeleteKey, IsKeyExist of a cut key"
Check Not reg.DeleteValue(HKCU, base, "Name" & Chr(0)) And Not reg.SetSTRING(HKCU, base, "Name" & Chr(0) & "x", _
  "lost"), "DeleteValue, SetSTRING of a cut name"
Check Not reg.DeleteKeyEx(HKCU, text, cause) And InStr(cause, "NUL") > 0, "DeleteKeyEx of a cut key: " & cause
Check Not reg.SetSTRING(7, base, "Name", "x") And Not reg.IsKeyExist(7, base), "a root the class does not know"
Check Not reg.DeleteKeyEx(7, base, cause) And cause = system.FormatMessageFromSystem(6), _
  "DeleteKeyEx of a root the class does not know: " & cause
Check Not reg.SetSTRING(HKCU, base & "\" & String(300, "k"), "v", "x"), "SetSTRING of a key too long"
Check Not reg.CopySubKey(HKCU, base, HKCU, UCase(child), cause) And cause <> "", "CopySubKey into itself"
On Error Resume Next
reg.DeleteKeyEx HKCU, "\\", cause
CheckError &H80070057, "DeleteKeyEx of the root"
reg.DeleteKey HKCU, ""
CheckError &H80070057, "DeleteKey of the root"
reg.SaveAsReg50 HKCU, text
CheckError &H80070057, "SaveAsReg50 of a cut key"
reg.SaveAsReg50 7, base
CheckError &H80004001, "SaveAsReg50 of a root the class does not know"
reg.SetBINARY HKCU, base, "Beyond", Array(1, 2), 3
CheckError &H80070057, "SetBINARY of a length beyond the array"
reg.QueryBINARY HKCU, base, "Four", text, length
CheckError &H80070057, "QueryBINARY into a text"
reg.QueryBINARY HKCU, base, "Four", unallocated, length
Check Err.Source = "tkShared.CRegistry", "QueryBINARY into an array without elements: " & Err.Source
CheckError 9, "QueryBINARY into an array without elements, as the script's own Subscript out of range"
On Error GoTo 0
Check Not reg.QueryBINARY(HKCU, base, "Beyond", buffer, length), "nothing written beyond the array"
Check reg.QuerySTRING(HKCU, base, "Name", value) And value = "Green" And reg.IsKeyExist(HKCU, child) And _
  Not reg.IsKeyExist(HKCU, child & "\tkShared registry script test"), "the refused calls touched nothing: " & value
Check reg.DeleteValue(HKCU, base, "Count") And Not reg.DeleteValue(HKCU, base, "Count") And _
  reg.DeleteValue(HKCU, base & "\Missing", "Count"), "DeleteValue: of a value gone it fails, in a missing key succeeds"
cause = "unset"
Check reg.DeleteKeyEx(HKCU, base, cause) And cause = "", "DeleteKeyEx: " & cause
Check Not reg.IsKeyExist(HKCU, base) And reg.DeleteKeyEx(HKCU, base, cause), "DeleteKeyEx of a key gone"
For Each text In classes
  reg.DeleteKey HKLM, "Software\Classes\" & text
Next
Done
