' The server through the VBScript host: the three classes by ProgID, the
' default member, omitted arguments, objects and variables as arguments,
' run-time errors caught with Err. The last line is the tally.
Option Explicit
On Error Resume Next
Dim passed, failed, m, c, g, a, b, l, u, p, s, n, v
passed = 0 : failed = 0
Sub Check(name, ok)
    If ok And Err.Number = 0 Then passed = passed + 1 Else failed = failed + 1 : WScript.Echo "FAIL " & name & " (" & Hex(Err.Number) & ")"
    Err.Clear
End Sub
Sub CheckError(name, number, text, source, context)
    Dim ok, seen
    ok = Err.Number = number And (text = "" Or Err.Description = text And Err.Source = source And Err.HelpFile = "CorvaneMatrix.chm" And Err.HelpContext = context)
    seen = Hex(Err.Number) & " '" & Err.Description & "' " & Err.Source & " " & Err.HelpContext
    Err.Clear
    Check name & ": " & seen, ok
End Sub

Set m = CreateObject("CorvaneMatrix30.Matrix")
Set c = CreateObject("CorVaneMatrix30.CMatrix.1")
Set g = CreateObject("CorVaneMatrix.Global")
Check "CreateObject of the three classes", True
v = m(0, 0)
CheckError "Item of a new Matrix", &H80040529, "Matrix not yet sized.", "CorvaneMatrix30.Matrix.1", 1321
c.Rows = 0
CheckError "Rows = 0 of a CMatrix", &H80040515, "Invalid number of rows", "CorVaneMatrix30.CMatrix.1", 1301
m.Size 3, 1
m(0, 0) = 3 : m(1, 0) = 1 : m(2, 0) = 2
Check "the default member", m(0, 0) = 3 And m.Item(2, 0) = 2
Check "GetString()", m.GetString() = "| 3.000 |" & vbCrLf & "| 1.000 |" & vbCrLf & "| 2.000 |" & vbCrLf
Check "GetString(1, "";"")", m.GetString(1, ";") = "| 3.0 |;| 1.0 |;| 2.0 |;"
Set b = m.Clone()
m.SortRows , , p
Check "SortRows , , p", VarType(p) = 8195 And m.GetString(0, ";") = "| 1 |;| 2 |;| 3 |;"
b.ReorderRows p
Check "ReorderRows p, IsEqualTo an object", b.IsEqualTo(m)
b.NormalizeMe n
Check "NormalizeMe n fills the variable", n = 3
b.ReorderRows 5
CheckError "ReorderRows 5", &H80040517, "Parameter is not an array, or it is not an array of the expected type.", "CorvaneMatrix30.Matrix.1", 1303
Set v = m.Times(Nothing)
CheckError "Times(Nothing)", &H80004003, "", "", 0
Set a = g.CreateMatrix(2, 2)
a(0, 1) = 1 : a(1, 0) = 1
Set l = CreateObject("CorvaneMatrix30.Matrix")
Set u = CreateObject("CorvaneMatrix30.Matrix")
a.LU l, u, p, s
Check "LU l, u, p, s", s = -1 And l.GetString(0, ";") = "| 1 0 |;| 0 1 |;" And u(0, 0) = 1 And VarType(p) = 8195
a.LU
Check "LU with no arguments", True
a.LU , u
Check "LU , u", True
a.EigenC c
Check "EigenC c fills a CMatrix", c.GetString(0, ";") = "| ( 1, 0i) |;| (-1, 0i) |;"
a.EigenC m
CheckError "EigenC with a Matrix: a type mismatch", 13, "", "", 0
Set v = g.CreateCMatrix(1, 2)
Check "CreateCMatrix, Version", v.Cols = 2 And m.Version = "3.0.000" And c.Version = "3.0.000"
WScript.Echo "server_test.vbs: " & passed & " passed, " & failed & " failed"
