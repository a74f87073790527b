' A script client of tkShared.CGumArray, late-bound: rows as VBScript passes
' them, the default member, the values a script sorts, errors (the rules of
' sorting and the text are tested natively).
Dim t, row, square, fixed(0), keys, k, order
Set t = CreateObject("tkShared.CGumArray")
t.Init 2
' Array variables, dynamic and fixed-size (passed by reference), and an array expression.
row = Array(3, "c")
t.AddRow row
t.AddRow Array(1, "a")
fixed(0) = 2
t.AddRow fixed
Check t(1, 2) = "c" And t.Item(2, 1) = 1, "the default member and Item read a cell"
Check IsEmpty(t(3, 2)) And IsEmpty(t(4, 1)) And IsEmpty(t(1, 3)), "cells beyond the rows read as empty"
' Every type of number a script makes sorts by its value (True is -1, Empty 0), and before every text.
keys = Array(True, Empty, CDbl(0.5), CDate(1.25), CCur(2.5), CByte(200), "10")
For k = 0 To UBound(keys)
  t.AddRow Array(keys(k), k)
Next
t.Sort 1, False
order = ""
For k = 1 To t.RowsCount
  order = order & t(k, 2) & ";"
Next
Check order = "6;5;c;4;;3;a;2;1;0;", "descending sort: " & order
t.AddRow Array(CreateObject("tkShared.CCollection"), 4)

On Error Resume Next
t.AddRow Array(1, 2, 3)
CheckError &H80040000, "a row too long"
ReDim square(1, 1)
t.AddRow square
CheckError &H80070057, "a row of two dimensions"
row = t(0, 1)
CheckError 9, "row 0"
t.Sort 1, True
Check Err.Source = "tkShared.CGumArray" And Len(Err.Description) > 0, "a failure names its class: " & Err.Source
CheckError 13, "sorting objects"
On Error GoTo 0
t.Init 4
Check t.RowsCount = 0 And t.ColumnsCount = 4, "Init drops the rows and sets the columns"
t.AddRow Array(True, Null, 42)
Check t.AsDisplayString() = "Rows: 1, Columns: 4" & vbCrLf & "1 (True, , 42, )" & vbCrLf, _
  "cells display by their texts, an empty one as nothing: " & t.AsDisplayString()
Done
