' The helpers every script client of the tests shares, put before each
' script: Check reports a failed check, Done prints PASS when none failed.
Option Explicit
Dim failures
failures = 0
Sub Check(ok, what)
  If Not ok Then
    WScript.Echo "FAIL: " & what
    failures = failures + 1
  End If
End Sub
' After a call under On Error Resume Next: the error it raised, then cleared.
Sub CheckError(number, what)
  Check Err.Number = number, what & ": " & Hex(Err.Number)
  Err.Clear
End Sub
Sub Done()
  If failures = 0 Then WScript.Echo "PASS"
End Sub
