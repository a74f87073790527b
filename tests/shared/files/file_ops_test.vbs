' A script client of tkShared.FileOps, late-bound.
Dim fo, system, folder, path, cause, is32, is64
Set fo = CreateObject("tkShared.FileOps")
Set system = CreateObject("tkShared.CGlobal")
folder = "C:\hg-script-files"
fo.RemoveFolder folder, True
fo.EnsureFolderExist fo.MergeFolderAndSubobject(folder, "sub\deeper")
path = fo.MergeFolderAndSubobject(folder & "\", "t.txt")
' Text goes in the system's code page, and leaves nothing of a longer text before it.
fo.SaveFile path, String(1000, "x")
fo.SaveFile path, "caf" & Chr(233)
Check fo.LoadFile(path) = "caf" & Chr(233) & vbCrLf, "LoadFile after SaveFile in the system code page"
Check fo.IsFolder(folder & "\sub\deeper") And fo.IsFolder(folder & "\nowhere\") And Not fo.IsFolder(path), "IsFolder"
Check fo.isFileExist(folder & "\*.txt") And fo.isFileExist(folder & "\") And Not fo.isFileExist(""), "isFileExist"
' SaveFileB too leaves nothing of a longer content before the bytes.
fo.SaveFile folder & "\copy.bin", String(100, "x")
fo.SaveFileB folder & "\copy.bin", fo.LoadFileB(path)
fo.SaveFile path, "x"
fo.FileCopyAx folder & "\copy.bin", path
Check fo.LoadFile(path) = "caf" & Chr(233) & vbCrLf, "SaveFileB wrote the bytes, FileCopyAx copied them"
Check fo.DeleteFilesByMask2(folder, "*.bin", cause) And cause = "" And Not fo.isFileExist(folder & "\copy.bin"), _
  "DeleteFilesByMask2: " & cause
Check fo.CopyFileOrFolder(path, folder & "\u.txt", cause) And fo.isFileExist(folder & "\u.txt"), "a file's copy: " & cause
Check fo.DirectoryContents(folder).Count = 3 And fo.DirectoryContents(folder & "\none\").Count = 0, "DirectoryContents"
Check fo.LoadFileHeaderMachine("C:\windows\system32\kernel32.dll", is32, is64, cause) And is64 And Not is32, cause
fo.Wow64DisableWow64FileSystemRedirection
fo.Wow64RevertWow64FileSystemRedirection
Check Abs(CDbl(Now) - CDbl(fo.FileCreationDate(path))) < 0.01 And fo.FileCreationDate(folder & "\none.txt") = 0, _
  "FileCreationDate"
' A folder that cannot be searched is reported, not taken as empty.
Check Not fo.DeleteFilesByMask2(folder & "\a|b", "*.*", cause) And cause = system.FormatMessageFromSystem(123), cause
' Removals remove what they name and keep what they do not.
fo.EnsureFolderExist folder & "\top\a\b"
fo.SaveFile folder & "\top\a\b\g.txt", "y"
Check Not fo.RemoveFolder2(folder & "\top", False, cause) And cause = system.FormatMessageFromSystem(145), cause
fo.RemoveFolder folder & "\top\a"
Check fo.isFileExist(folder & "\top\a\b\g.txt"), "RemoveFolder without its second argument keeps content"
Check fo.RemoveFolder2(folder & "\top", True, cause) And cause = "" And Not fo.isFileExist(folder & "\top"), cause
' RemoveFile takes ".." and "/", and on success leaves the cause as it was.
fo.SaveFile folder & "\a.txt", "a"
cause = Empty
Check fo.RemoveFile(folder & "/sub/../a.txt", cause) And IsEmpty(cause) And Not fo.isFileExist(folder & "\a.txt"), _
  "RemoveFile of a path to resolve"
' Copies follow the source's variables but not the names inside its tree.
fo.EnsureFolderExist folder & "\src\dir\%SystemDrive%"
fo.SaveFile folder & "\src\dir\%SystemDrive%\h.txt", "h"
Check fo.CopyFileOrFolder("%SystemDrive%" & Mid(folder, 3) & "\src\dir", folder & "\dst\", cause), "a copy: " & cause
Check fo.LoadFile(folder & "\dst\dir\%SystemDrive%\h.txt") = "h" & vbCrLf, "the copy keeps the names inside the tree"
Check fo.RemoveFolder2(folder & "\src", True, cause) And Not fo.isFileExist(folder & "\src"), "a removal: " & cause
fo.EnsureFolderExist folder & "\empty"
Check Not fo.CopyFileOrFolder(folder & "\empty", path & "\", cause) And InStr(cause, "t.txt\empty") > 0, _
  "an empty folder where no folder can be made: " & cause
On Error Resume Next
fo.SaveFile "NUL", "x"
CheckError 0, "SaveFile to a device, which has no end to cut"
fo.LoadFile folder & "\none.txt"
CheckError &H80070002, "LoadFile of a missing file"
fo.IsFolder folder & "\none"
CheckError &H80040000, "IsFolder of a missing path"
fo.FileCopyAx folder & "\none.txt", folder & "\b.txt"
Check InStr(Err.Description, "'" & folder & "\none.txt' to '" & folder & "\b.txt'") > 0, Err.Description
CheckError &H80070002, "FileCopyAx of a missing file"
On Error GoTo 0
fo.RemoveFolder folder, True
Check Not fo.isFileExist(folder), "RemoveFolder with subfolders"
Done
