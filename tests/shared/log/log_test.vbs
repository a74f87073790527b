' A script client of tkShared.axLog, late-bound: its names, the parameters it
' may be given or not, the system code page and the time stamp.
Dim lg, fo, folder, head, tail, text, fields, cause
Set lg = CreateObject("tkShared.axLog")
Set fo = CreateObject("tkShared.FileOps")
folder = "C:\hg-script-log"
fo.EnsureFolderExist folder
lg.Init2 folder & "\main.log", folder & "\short.log"
Check lg.ShortLogMode And lg.FileName = folder & "\main.log", "after Init2: " & lg.FileName
Check lg.ShortLogFileName = folder & "\short.log", "ShortLogFileName: " & lg.ShortLogFileName

' The main log cuts a long description to both ends, the short log keeps it
' whole; a negative number is written as its unsigned value. Each entry opens
' the log by its name again, so others may remove it between entries.
lg.LogIt 0, "start"
Check fo.RemoveFile(folder & "\main.log", cause), "main log removed: " & cause
head = "caf" & Chr(233) & String(496, "a")
tail = vbTab & "Script.Test" & vbCrLf
lg.LogIt -1, head & "m" & String(524, "z"), 1, "Script.Test"
text = fo.LoadFile(folder & "\short.log")
Check InStr(text, vbTab & "Error" & vbTab & vbTab & "start" & vbTab & vbCrLf) > 0, "defaults: " & text
Check InStr(text, "Warning" & vbTab & "FFFFFFFF" & vbTab & head & "m" & String(524, "z") & tail) > 0, "whole: " & text
text = fo.LoadFile(folder & "\main.log")
Check UBound(Split(text, vbCrLf)) = 1, "the main log anew: " & text
Check InStr(text, vbTab & head & "..........." & String(500, "z") & tail) > 0, "main log cut: " & text
fields = Split(text, vbTab)
Check InStr(fields(0), Year(Now)) > 0 And UBound(Split(fields(0), ":")) = 2, "stamp: " & fields(0)
fo.RemoveFolder folder, True
Done
