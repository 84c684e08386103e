' The server through the VBScript host: the three classes created by ProgID,
' the default member, omitted arguments, objects and variables as arguments,
' run-time errors caught with Err. The last line is the tally.
Option Explicit
On Error Resume Next
Dim passed, failed
passed = 0 : failed = 0
Sub Check(name, ok)
    If ok Then passed = passed + 1 Else failed = failed + 1 : WScript.Echo "FAIL " & name
End Sub
Sub CheckNoError(name)
    Check name & " (" & Hex(Err.Number) & " " & Err.Description & ")", Err.Number = 0
    Err.Clear
End Sub
Sub CheckError(name, number, text, source, context)
    Check name & ": " & Hex(Err.Number) & " '" & Err.Description & "' " & Err.Source & " " & Err.HelpFile & " " & Err.HelpContext, _
        Err.Number = number And Err.Description = text And Err.Source = source And Err.HelpFile = "CorvaneMatrix.chm" And Err.HelpContext = context
    Err.Clear
End Sub

Dim m, c, g, a, b, l, u, p, s, n, v
Set m = CreateObject("CorvaneMatrix30.Matrix")
Set c = CreateObject("CorVaneMatrix30.CMatrix.1")
Set g = CreateObject("CorVaneMatrix.Global")
CheckNoError "CreateObject of the three classes"
v = m(0, 0)
CheckError "Item of a new Matrix", &H80040529, "Matrix not yet sized.", "CorvaneMatrix30.Matrix.1", 1321
c.Rows = 0
CheckError "Rows = 0 of a CMatrix", &H80040515, "Invalid number of rows", "CorVaneMatrix30.CMatrix.1", 1301

m.Size 3, 1
m(0, 0) = 3 : m(1, 0) = 1 : m(2, 0) = 2
CheckNoError "default member put"
Check "default member get", m(0, 0) = 3 And m.Item(2, 0) = 2
Check "GetString()", m.GetString() = "| 3.000 |" & vbCrLf & "| 1.000 |" & vbCrLf & "| 2.000 |" & vbCrLf
Check "GetString(1, "";"")", m.GetString(1, ";") = "| 3.0 |;| 1.0 |;| 2.0 |;"
Set b = m.Clone()
m.SortRows , , p
CheckNoError "SortRows , , p"
Check "the sort and its index variable", VarType(p) = 8195 And m.GetString(0, ";") = "| 1 |;| 2 |;| 3 |;"
b.ReorderRows p
Check "ReorderRows p, IsEqualTo with an object argument", b.IsEqualTo(m)
b.NormalizeMe n
Check "NormalizeMe n fills the variable", n = 3
b.ReorderRows 5
CheckError "ReorderRows 5", &H80040517, "Parameter is not an array, or it is not an array of the expected type.", "CorvaneMatrix30.Matrix.1", 1303
Set v = m.Times(Nothing)
Check "Times(Nothing) " & Hex(Err.Number), Err.Number = &H80004003
Err.Clear

Set a = g.CreateMatrix(2, 2)
a(0, 1) = 1 : a(1, 0) = 1
Set l = CreateObject("CorvaneMatrix30.Matrix")
Set u = CreateObject("CorvaneMatrix30.Matrix")
a.LU l, u, p, s
CheckNoError "LU l, u, p, s"
Check "LU fills the objects and variables", s = -1 And l.GetString(0, ";") = "| 1 0 |;| 0 1 |;" And u(0, 0) = 1 And VarType(p) = 8195
a.LU
CheckNoError "LU with no arguments"
a.LU , u
CheckNoError "LU , u"
a.EigenC c
Check "EigenC c fills a CMatrix " & c.GetString(0, ";"), c.GetString(0, ";") = "| ( 1, 0i) |;| (-1, 0i) |;"
a.EigenC m
Check "EigenC with a Matrix is a type mismatch", Err.Number = 13
Err.Clear
Check "Version of both matrix classes", m.Version = "3.0.000" And c.Version = "3.0.000"
Set v = g.CreateCMatrix(1, 2)
Check "CreateCMatrix", v.Cols = 2 And TypeName(v) = "ICMatrix"
WScript.Echo "server_test.vbs: " & passed & " passed, " & failed & " failed"
