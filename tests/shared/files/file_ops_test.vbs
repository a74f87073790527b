' A script client of tkShared.FileOps, late-bound.
Dim fo, folder, path, cause, ok, text, is32, is64, names, v, n, bytes, created
Set fo = CreateObject("tkShared.FileOps")
folder = "C:\hg-script-files"
fo.RemoveFolder folder, True
fo.EnsureFolderExist fo.MergeFolderAndSubobject(folder, "sub\deeper")
Check fo.IsFolder(folder & "\sub\deeper"), "EnsureFolderExist made the nested folders"

path = fo.MergeFolderAndSubobject(folder & "\", "t.txt")
Check path = folder & "\t.txt", "MergeFolderAndSubobject: " & path
fo.SaveFile path, "one" & vbCrLf & "two"
text = fo.LoadFile(path)
Check text = "one" & vbCrLf & "two" & vbCrLf, "LoadFile after SaveFile: " & text
Check fo.isFileExist(path), "isFileExist of the saved file"
Check Not fo.IsFolder(path), "IsFolder of a file"

bytes = fo.LoadFileB(path)
' Wine's VBScript cannot take the bounds of a byte array: the C++ tests check them.
Check VarType(bytes) = vbArray + vbByte, "LoadFileB type: " & VarType(bytes)
fo.SaveFileB folder & "\copy.bin", bytes
Check fo.LoadFile(folder & "\copy.bin") = text, "SaveFileB wrote the bytes back"

cause = "unchanged"
ok = fo.RemoveFile(folder & "\none.txt", cause)
Check Not ok, "RemoveFile of a missing file"
Check Len(cause) > 0 And cause <> "unchanged", "RemoveFile FalseCause read back: " & cause

ok = fo.DeleteFilesByMask2(folder, "*.bin", cause)
Check ok, "DeleteFilesByMask2 result"
Check cause = "", "DeleteFilesByMask2 FalseCause emptied: " & cause
Check Not fo.isFileExist(folder & "\copy.bin"), "DeleteFilesByMask2 deleted the file"

ok = fo.CopyFileOrFolder(folder & "\sub", folder & "\copy\", cause)
Check ok, "CopyFileOrFolder of a folder: " & cause
Check fo.IsFolder(folder & "\copy\sub\deeper"), "CopyFileOrFolder copied the tree"

Set names = fo.DirectoryContents(folder)
Check names.Count = 3, "DirectoryContents count: " & names.Count
n = 0
For Each v In names
  n = n + 1
Next
Check n = 3, "DirectoryContents enumerated: " & n

is32 = True
is64 = True
ok = fo.LoadFileHeaderMachine(path, is32, is64, cause)
Check Not ok, "LoadFileHeaderMachine of a text file"
Check cause = "Invalid file.", "LoadFileHeaderMachine FalseCause: " & cause
ok = fo.LoadFileHeaderMachine("C:\windows\system32\kernel32.dll", is32, is64, cause)
Check ok, "LoadFileHeaderMachine of a system DLL: " & cause
Check is64 And Not is32, "LoadFileHeaderMachine flags read back"

created = fo.FileCreationDate(path)
Check Abs(CDbl(Now) - CDbl(created)) < 0.01, "FileCreationDate: " & created

On Error Resume Next
text = fo.LoadFile(folder & "\none.txt")
Check Len(Err.Description) > 0, "LoadFile failure description"
CheckError &H80070002, "LoadFile of a missing file"
On Error GoTo 0

fo.RemoveFolder folder, True
Check Not fo.isFileExist(folder), "RemoveFolder with subfolders"
Done
