' The custom component as the program's start-up uses it, from a script: Init
' by name, the log writer passed by reference and left as it was.
Dim custom, writer, before
Set custom = CreateObject("HGRWCustom.CCustom2")
Set writer = CreateObject("HGRWCustom.CProbe")
Set before = writer
custom.Init writer
Check writer Is before, "Init replaced the log writer"
Done
