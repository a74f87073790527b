' A script client of tkShared's nodes, parameters and property bag, late-bound:
' builds a tree, saves it through PropertyBag, restores it from the bag's
' Contents and reads it back.
Dim root, child, grandchild, p, bag, copy, bytes, restored, renamed, c, inner, r
Dim written, kinds, k
Set root = CreateObject("tkShared.CNode")
root.params.Add "Title", "top"
root.Values.Add 1.5
root.Values.Add "two"
Set child = root.SubNodes.Add()
child.params.Add "Title", "middle"
Set grandchild = child.SubNodes.Add()
Check Len(root.Id) = 38 And root.Id <> child.Id, "new nodes have distinct identifiers in registry form: " & root.Id
grandchild.Id = "leaf"
grandchild.params.Add "Numbers", 1
grandchild.params.Item("numbers").Values.Add 2

Set bag = CreateObject("tkShared.PropertyBag")
bag.WriteProperty "Tree", root
bag.WriteProperty "Count", 0, 0
' Entries renamed to another entry's key.
Set renamed = CreateObject("tkShared.CParams")
Set p = renamed.Add("A", 1)
p.Name = "B"
renamed.Add "B", 2
bag.WriteProperty "Renamed", renamed
Set c = CreateObject("tkShared.CCollection")
Set inner = CreateObject("tkShared.CCollection")
inner.Add "deep"
c.Add "one", "K1"
c.Add inner, "K2"
bag.WriteProperty "C", c
written = Array(CInt(-2), CLng(100000), CCur(12.3456), CDate(45000.5), Null, "text", False, CByte(7), CSng(0.5), _
  Array("x", CInt(5)))
bag.WriteProperty "Kinds", written
bytes = bag.Contents
Check VarType(bytes) = 8209, "Contents is a byte array: " & VarType(bytes)

Set copy = CreateObject("tkShared.PropertyBag")
copy.Contents = bytes
Check copy.ReadProperty("Count", 7) = 7, "a value equal to its default was not stored"
Set restored = copy.ReadProperty("tree")
Check restored.Id = root.Id And restored.params.Item("title").Value = "top", "root identifier and parameter"
Check restored.Values.Item(1) = 1.5 And VarType(restored.Values.Item(1)) = 5, "root first value and its type"
Check restored.Values(2) = "two", "arguments of a property pass to its default member"
Check restored.SubNodes.Count = 1 And restored.SubNodes.Item(child.Id).params.Item("Title").Value = "middle", _
  "the one child, found by its identifier"
Check restored.SubNodes.Item(1).SubNodes.Item("leaf").params.Item("NUMBERS").Values.Count = 2, "leaf values"
Set r = copy.ReadProperty("renamed")
Check r.Count = 2 And r("b").Value = 1 And Not r.IsInCollection("A"), _
  "renamed to another's name: all come back, the first keeps the name as its key"
Set r = copy.ReadProperty("c")
Check r.Count = 2 And r(1) = "one" And r(2)(1) = "deep", "a collection's order and nesting"
Check Not r.IsInCollection("K1") And Not (r(2) Is inner), "a restored collection has no keys and new objects"
kinds = copy.ReadProperty("kinds")
For k = 0 To 8
  Check VarType(kinds(k)) = VarType(written(k)) And (IsNull(kinds(k)) Or kinds(k) = written(k)), "element " & k
Next
Check VarType(kinds(9)) = 8204 And kinds(9)(0) = "x" And VarType(kinds(9)(1)) = 2, "a nested array keeps its types"
Check IsEmpty(copy.ReadProperty("missing")), "a property never written, without a default, is Empty"

' A failure says why, and names the bag.
Set c = CreateObject("tkShared.CCollection")
c.Add c
On Error Resume Next
bag.WriteProperty "Itself", c
Check InStr(Err.Description, "holds itself") > 0 And Err.Source = "tkShared.PropertyBag", "itself: " & Err.Description
CheckError &H80070057, "a collection holding itself"
On Error GoTo 0
c.Clear
Done
