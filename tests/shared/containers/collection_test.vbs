' A script client of tkShared.CCollection, late-bound. Prints PASS when every check holds.
Option Explicit
Dim c, inner, v, order, failures
failures = 0
Sub Check(ok, what)
  If Not ok Then
    WScript.Echo "FAIL: " & what
    failures = failures + 1
  End If
End Sub

Set c = CreateObject("tkShared.CCollection")
c.Add "one", "Alpha"
c.Add "two", "Beta"
c.Add "zero", "Zero", "ALPHA"
c.Add "three", , , 3
Check c.Count = 4, "Count after four adds: " & c.Count
Check c("alpha") = "one", "default member by key in another case"
Check c.Item("BETA") = "two", "Item by key in another case"
Check c(1) = "zero", "Before placed by key"
Check c(4) = "three", "After placed by number"

order = ""
For Each v In c
  order = order & v & ";"
Next
Check order = "zero;one;two;three;", "For Each order: " & order

On Error Resume Next
c.Add "again", "alpha"
Check Err.Number = 457, "duplicate key number: " & Err.Number
Check Len(Err.Description) > 0, "duplicate key description"
Err.Clear
v = c("missing")
Check Err.Number = 5, "missing key number: " & Err.Number
Check Len(Err.Description) > 0, "missing key description"
Err.Clear
v = c(99)
Check Err.Number = 9, "index out of range number: " & Err.Number
Err.Clear
On Error GoTo 0
Check c.Count = 4, "failures added nothing"

Check c.IsInCollection("ZERO"), "IsInCollection in another case"
Check Not c.IsInCollection("missing"), "IsInCollection of a missing key"
c.Remove "beta"
c.Remove 1
Check c.Count = 2, "Remove by key and by number"
Check c(1) = "one", "the first entry after the removals"

Set inner = CreateObject("tkShared.CCollection")
c.Add inner, "inner"
c("inner").Add 5
Check inner.Count = 1, "objects are held by reference"
c.Clear
Check c.Count = 0, "Clear"

If failures = 0 Then WScript.Echo "PASS"
