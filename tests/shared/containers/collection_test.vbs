' A script client of tkShared.CCollection, late-bound.
Dim c, v, order, never, key
Set c = CreateObject("tkShared.CCollection")
c.Add "one", "Alpha"
c.Add "two", "Beta"
c.Add "zero", "Zero", "ALPHA"
c.Add "three", , , 3
Check c("alpha") = "one" And c.Item("BETA") = "two", "by key in another case"
Check c(1) = "zero" And c(4) = "three", "Before by key, After by number"

' Each failure names its class and says what went wrong.
Sub CheckFailure(number, what)
  Check Err.Source = "tkShared.CCollection" And Len(Err.Description) > 0, what & ": " & Err.Source
  CheckError number, what
End Sub
On Error Resume Next
c.Add "again", "alpha"
CheckFailure 457, "duplicate key"
v = c("missing")
CheckFailure 5, "missing key"
v = c(99)
CheckFailure 9, "index out of range"
c.Add "x", , 1, 1
CheckFailure &H80070057, "both Before and After"
On Error GoTo 0

' A variable never assigned is no key (not the key ""); one holding text is a key.
c.Add "four", never
Check c.Count = 5 And Not c.IsInCollection(""), "an Empty key is no key"
key = "3"
c.Add "keyed", key
Check c(key) = "keyed" And c(3) = "two", "text in a variable is a key, not a number"
c.Remove key
' The walk keeps its own copy of the items.
order = ""
For Each v In c
  c.Clear
  order = order & v & ";"
Next
Check order = "zero;one;two;three;four;" And c.Count = 0, "Remove, For Each over a snapshot, Clear: " & order
Done
