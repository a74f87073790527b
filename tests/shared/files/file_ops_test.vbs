' A script client of tkShared.FileOps, late-bound.
Dim fo, folder, path, cause, is32, is64, names, v, n
Set fo = CreateObject("tkShared.FileOps")
folder = "C:\hg-script-files"
fo.RemoveFolder folder, True
fo.EnsureFolderExist fo.MergeFolderAndSubobject(folder, "sub\deeper")
fo.EnsureFolderExist ""
Check fo.IsFolder(folder & "\sub\deeper") And fo.IsFolder(folder & "\nowhere\"), "IsFolder of folders"
path = fo.MergeFolderAndSubobject(folder & "\", "t.txt")
Check path = folder & "\t.txt", "MergeFolderAndSubobject: " & path
fo.SaveFile path, "one" & vbCrLf & "two"
Check fo.LoadFile(path) = "one" & vbCrLf & "two" & vbCrLf, "LoadFile after SaveFile"
Check fo.isFileExist(folder & "\*.txt") And fo.isFileExist(folder & "\") And Not fo.isFileExist(""), "isFileExist"
Check Not fo.IsFolder(path), "IsFolder of a file"
fo.SaveFileB folder & "\copy.bin", fo.LoadFileB(path)
fo.SaveFile path, "x"
fo.FileCopyAx folder & "\copy.bin", path
Check fo.LoadFile(path) = "one" & vbCrLf & "two" & vbCrLf, "SaveFileB wrote the bytes, FileCopyAx copied them"
cause = "unchanged"
Check Not fo.RemoveFile(folder & "\none.txt", cause), "RemoveFile of a missing file"
Check Len(cause) > 0 And cause <> "unchanged", "RemoveFile FalseCause read back: " & cause
Check fo.DeleteFilesByMask2(folder, "*.bin", cause) And cause = "", "DeleteFilesByMask2: " & cause
Check Not fo.isFileExist(folder & "\copy.bin"), "DeleteFilesByMask2 deleted the file"
Check fo.CopyFileOrFolder(folder & "\sub", folder & "\copy\", cause), "CopyFileOrFolder of a folder: " & cause
Check fo.CopyFileOrFolder(path, folder & "\copy\u.txt", cause), "CopyFileOrFolder of a file: " & cause
Check fo.IsFolder(folder & "\copy\sub\deeper") And fo.isFileExist(folder & "\copy\u.txt"), "the copies"
Set names = fo.DirectoryContents(folder)
n = 0
For Each v In names
  n = n + 1
Next
Check names.Count = 3 And n = 3, "DirectoryContents: " & names.Count & ", enumerated " & n
Check fo.DirectoryContents(folder & "\none\").Count = 0, "DirectoryContents of a missing folder"
Check Not fo.LoadFileHeaderMachine(path, is32, is64, cause) And cause = "Invalid file.", "a text file's header"
Check Not fo.LoadFileHeaderMachine(folder & "\none.dll", is32, is64, cause) And cause = "Cannot load file.", cause
Check fo.LoadFileHeaderMachine("C:\windows\system32\kernel32.dll", is32, is64, cause), "a DLL's header: " & cause
Check is64 And Not is32, "LoadFileHeaderMachine flags read back"
fo.Wow64DisableWow64FileSystemRedirection
fo.Wow64RevertWow64FileSystemRedirection
Check Abs(CDbl(Now) - CDbl(fo.FileCreationDate(path))) < 0.01, "FileCreationDate"
Check fo.FileCreationDate(folder & "\none.txt") = 0, "FileCreationDate of a missing file"
On Error Resume Next
fo.LoadFile folder & "\none.txt"
Check Len(Err.Description) > 0, "LoadFile failure description"
CheckError &H80070002, "LoadFile of a missing file"
On Error GoTo 0
fo.RemoveFolder folder, True
Check Not fo.isFileExist(folder), "RemoveFolder with subfolders"
Done
