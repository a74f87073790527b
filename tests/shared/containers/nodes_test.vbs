' A script client of tkShared's nodes, parameters and property bag, late-bound:
' builds a tree, saves it through PropertyBag, restores it from the bag's
' Contents and reads it back.
Dim root, child, grandchild, p, bag, copy, bytes, restored, params
Set params = CreateObject("tkShared.CParams")
Set p = params.Add("Color", 5)
Check params("color").Value = 5, "parameter found by name in another case"
Check params.IsInCollection("COLOR"), "IsInCollection in upper case"
params.Add "Empty"
Dim other
Set other = CreateObject("tkShared.CCollection")
other.Add 9
Set params("Empty").Values = other
Check params("empty").Value = 9, "Values set to another collection"
other.Remove 1
On Error Resume Next
Dim v
v = params("empty").Value
CheckError 9, "Value of a parameter without values"
params.Add "COLOR"
CheckError 457, "a second parameter of the same name"
On Error GoTo 0

Set root = CreateObject("tkShared.CNode")
Check Len(root.Id) = 38, "a new node has an identifier: " & root.Id
root.params.Add "Title", "top"
root.Values.Add 1.5
root.Values.Add "two"
Set child = root.SubNodes.Add()
child.params.Add "Title", "middle"
child.Values.Add True
Set grandchild = child.SubNodes.Add()
grandchild.Id = "leaf"
grandchild.params.Add "Numbers", 1
grandchild.params.Item("numbers").Values.Add 2

Set bag = CreateObject("tkShared.PropertyBag")
bag.WriteProperty "Tree", root
bag.WriteProperty "Params", params
bag.WriteProperty "Count", 0, 0
bytes = bag.Contents
Check VarType(bytes) = 8209, "Contents is a byte array: " & VarType(bytes)

Set copy = CreateObject("tkShared.PropertyBag")
copy.Contents = bytes
Check copy.ReadProperty("Count", 7) = 7, "a value equal to its default was not stored"
Set restored = copy.ReadProperty("tree")
Check restored.Id = root.Id, "root identifier"
Check restored.params.Item("title").Value = "top", "root parameter"
Check restored.Values.Item(1) = 1.5, "root first value"
Check VarType(restored.Values.Item(1)) = 5, "root first value keeps its type"
Check restored.Values.Item(2) = "two", "root second value"
Check restored.Values(2) = "two", "arguments of a property pass to its default member"
Check restored.SubNodes.Count = 1, "root has one child"
Check restored.SubNodes.Item(1).Id = child.Id, "child identifier"
Check restored.SubNodes.Item(child.Id).params.Item("Title").Value = "middle", "child found by identifier"
Check restored.SubNodes.Item(1).Values.Item(1) = True, "child value"
Check restored.SubNodes.Item(1).SubNodes.Item("leaf").params.Item("NUMBERS").Values.Count = 2, "leaf values"
Check restored.SubNodes.Item(1).SubNodes.Item(1).params.Item("numbers").Values.Item(2) = 2, "leaf second value"
Dim restoredParams
Set restoredParams = copy.ReadProperty("Params")
Check restoredParams.Count = 2, "parameters restored"
Check restoredParams("COLOR").Value = 5, "restored parameter by name"
Check Not restoredParams.IsInCollection("Missing"), "no parameter of another name"

Done
