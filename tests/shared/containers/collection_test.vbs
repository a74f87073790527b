' A script client of tkShared.CCollection, late-bound.
Dim c, inner, v, order
Set c = CreateObject("tkShared.CCollection")
c.Add "one", "Alpha"
c.Add "two", "Beta"
c.Add "zero", "Zero", "ALPHA"
c.Add "three", , , 3
Check c.Count = 4, "Count after four adds: " & c.Count
Check c("alpha") = "one" And c.Item("BETA") = "two", "by key in another case"
Check c(1) = "zero" And c(4) = "three", "Before by key, After by number"
order = ""
For Each v In c
  order = order & v & ";"
Next
Check order = "zero;one;two;three;", "For Each order: " & order

On Error Resume Next
c.Add "again", "alpha"
Check Len(Err.Description) > 0, "duplicate key description"
CheckError 457, "duplicate key"
v = c("missing")
CheckError 5, "missing key"
v = c(99)
CheckError 9, "index out of range"
On Error GoTo 0
Check c.Count = 4, "failures added nothing"

c.Remove "beta"
c.Remove 1
Check c.Count = 2 And c(1) = "one", "Remove by key and by number"
Set inner = CreateObject("tkShared.CCollection")
c.Add inner, "inner"
c("inner").Add 5
Check inner.Count = 1, "objects are held by reference"
c.Clear
Check c.Count = 0, "Clear"
Done
