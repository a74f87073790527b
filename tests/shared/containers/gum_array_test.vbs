' A script client of tkShared.CGumArray, late-bound. Prints PASS when every check holds.
Option Explicit
Dim t, row, failures
failures = 0
Sub Check(ok, what)
  If Not ok Then
    WScript.Echo "FAIL: " & what
    failures = failures + 1
  End If
End Sub

Set t = CreateObject("tkShared.CGumArray")
Check t.RowsCount = 0, "a new table has no rows"
Check t.ColumnsCount = 0, "a new table has no columns"
t.Init 2
Check t.ColumnsCount = 2, "ColumnsCount after Init: " & t.ColumnsCount

' An array variable (passed by reference) and an array expression.
row = Array(3, "c")
t.AddRow row
t.AddRow Array(1, "a")
ReDim row(0)
row(0) = 2
t.AddRow row
Check t.RowsCount = 3, "RowsCount after three rows: " & t.RowsCount
Check t(1, 2) = "c", "the default member reads a cell"
Check t.Item(2, 1) = 1, "Item reads a cell"
Check IsEmpty(t(3, 2)), "the cell a short row left out is empty"
Check IsEmpty(t(4, 1)), "a row past RowsCount reads as empty"
Check IsEmpty(t(1, 3)), "a column past ColumnsCount reads as empty"

t.Sort 1, True
Check t(1, 1) = 1 And t(2, 1) = 2 And t(3, 1) = 3, "ascending sort"
Check t(1, 2) = "a" And t(3, 2) = "c", "the other column moves with its rows"
t.Sort 1, False
Check t(1, 1) = 3 And t(3, 1) = 1, "descending sort"

Check t.AsDisplayString() = "Rows: 3, Columns: 2" & vbCrLf & "1 (3, c)" & vbCrLf & _
  "2 (2, )" & vbCrLf & "3 (1, a)" & vbCrLf, "AsDisplayString: " & t.AsDisplayString()

On Error Resume Next
t.AddRow Array(1, 2, 3)
Check Err.Number = &H80040000, "a row too long: " & Hex(Err.Number)
Err.Clear
row = t(0, 1)
Check Err.Number = 9, "row 0: " & Err.Number
Err.Clear
t.Sort 5, True
Check Err.Number = 9, "sort by a column out of range: " & Err.Number
Err.Clear
On Error GoTo 0
Check t.RowsCount = 3, "failures added no row"

t.Clear
Check t.RowsCount = 0 And t.ColumnsCount = 2, "Clear keeps the columns"
t.AddRow Array("b")
t.AddRow Array("B")
t.AddRow Array("a")
t.Sort 1, True
Check t(1, 1) = "B" And t(2, 1) = "a" And t(3, 1) = "b", "texts by character code"

t.Init 1
Check t.RowsCount = 0, "Init drops the rows"
Check t.ColumnsCount = 1, "Init sets the columns"

If failures = 0 Then WScript.Echo "PASS"
