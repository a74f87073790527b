' The custom component as the program's start-up uses it, from a script: Init
' by name, the log writer passed by reference and left as it was.
Option Explicit
Dim custom, writer, before
Set custom = CreateObject("HGRWCustom.CCustom2")
Set writer = CreateObject("HGRWCustom.CProbe")
Set before = writer
custom.Init writer
If Not (writer Is before) Then
  WScript.Echo "Init replaced the log writer"
  WScript.Quit 1
End If
WScript.Echo "custom script done"
