' A script client of tkShared.axLog, late-bound.
Dim lg, fo, folder, head, text, fields
Set lg = CreateObject("tkShared.axLog")
Set fo = CreateObject("tkShared.FileOps")
folder = "C:\hg-script-log"
fo.RemoveFolder folder, True
fo.EnsureFolderExist folder
lg.Init2 folder & "\main.log", folder & "\short.log"
Check lg.ShortLogMode, "ShortLogMode after Init2"
Check lg.FileName = folder & "\main.log", "FileName: " & lg.FileName
Check lg.ShortLogFileName = folder & "\short.log", "ShortLogFileName: " & lg.ShortLogFileName

lg.LogIt 0, "start"
lg.LogIt 255, "second", 5, "Script.Test"
lg.LogIt -1, "third", 1, "Script.Test"
text = fo.LoadFile(folder & "\short.log")
Check InStr(text, vbTab & "Error" & vbTab & vbTab & "start" & vbTab & vbCrLf) > 0, "defaults: " & text
Check InStr(text, vbTab & "Trace" & vbTab & "FF" & vbTab & "second" & vbTab & "Script.Test" & vbCrLf) > 0, "trace line: " & text
Check InStr(text, vbTab & "Warning" & vbTab & "FFFFFFFF" & vbTab & "third" & vbTab) > 0, "negative number: " & text

' The main log cuts a long description to both ends, the short log keeps it
' whole; both write the system code page and stamp the date and the time.
head = "caf" & Chr(233) & String(496, "a")
lg.LogIt 0, head & "m" & String(524, "z")
Check InStr(fo.LoadFile(folder & "\short.log"), vbTab & head & "m" & String(524, "z") & vbTab) > 0, "short log whole"
text = fo.LoadFile(folder & "\main.log")
Check InStr(text, vbTab & head & "..........." & String(500, "z") & vbTab) > 0, "main log cut: " & text
fields = Split(text, vbTab)
Check InStr(fields(0), Year(Now)) > 0 And UBound(Split(fields(0), ":")) = 2, "stamp: " & fields(0)

lg.Init folder & "\main.log"
Check Not lg.ShortLogMode, "ShortLogMode after Init"
fo.RemoveFolder folder, True
Done
