' The server through the VBScript host: creation by ProgID, the default
' member, sizing, whole-matrix operations and run-time errors with their
' records. Every step is checked; the last line is the tally.
Option Explicit
On Error Resume Next
Dim passed, failed
passed = 0 : failed = 0

Sub Check(name, ok)
    If ok Then
        passed = passed + 1
    Else
        failed = failed + 1
        WScript.Echo "FAIL " & name
    End If
End Sub

Sub CheckNoError(name)
    Check name & " (Err " & Hex(Err.Number) & " " & Err.Description & ")", Err.Number = 0
    Err.Clear
End Sub

Sub CheckError(name, number, text, source, context)
    Check name & ": number " & Hex(Err.Number), Err.Number = number
    Check name & ": description '" & Err.Description & "'", Err.Description = text
    Check name & ": source '" & Err.Source & "'", Err.Source = source
    Check name & ": help file '" & Err.HelpFile & "'", Err.HelpFile = "CorvaneMatrix.chm"
    Check name & ": help context " & Err.HelpContext, Err.HelpContext = context
    Err.Clear
End Sub

Dim m, c, g, v, copy, col, row, r, k
Set m = CreateObject("CorvaneMatrix30.Matrix")
CheckNoError "CreateObject Matrix"
Check "new Rows", m.Rows = 0
Check "MaxSize", m.MaxSize = 2147483647
v = m(0, 0)
CheckError "Item of a new matrix", &H80040529, "Matrix not yet sized.", "CorvaneMatrix30.Matrix.1", 1321

m.Size 2, 3
CheckNoError "Size"
Check "Rows", m.Rows = 2
Check "Cols", m.Cols = 3
m(1, 2) = 7.5
CheckNoError "default member put"
Check "default member get", m(1, 2) = 7.5
Check "Item get", m.Item(1, 2) = 7.5
r = 1 : k = 2
Check "variables as indexes", m(r, k) = 7.5
Check "IsSquare of 2 x 3", m.IsSquare = False
m.Rows = 0
CheckError "Rows = 0", &H80040515, "Invalid number of rows", "CorvaneMatrix30.Matrix.1", 1301
v = m(2, 0)
CheckError "row index", &H80040527, "Row index exceeds matrix size.", "CorvaneMatrix30.Matrix.1", 1319
v = m(0, 3)
CheckError "column index", &H80040528, "Column index exceeds matrix size.", "CorvaneMatrix30.Matrix.1", 1320

Set copy = m.Clone()
CheckNoError "Clone"
m(1, 2) = 1
Check "clone is independent", copy(1, 2) = 7.5
Set col = m.ColVector(2)
CheckNoError "ColVector"
Check "ColVector shape", col.Rows = 2 And col.Cols = 1 And col(1, 0) = 1
Set row = copy.RowVector(1)
Check "RowVector", row.Cols = 3 And row(0, 2) = 7.5
copy.SwapRows 0, 1
Check "SwapRows", copy(0, 2) = 7.5
copy.SwapCols 0, 2
Check "SwapCols", copy(0, 0) = 7.5
copy.Clear
Check "Clear", copy(0, 0) = 0
m.Rows = 3
Check "Rows put keeps the common block", m.Rows = 3 And m(1, 2) = 1 And m(2, 2) = 0
Check "Version", m.Version = "3.0.000"

Set c = CreateObject("CorVaneMatrix30.CMatrix")
CheckNoError "CreateObject CMatrix"
v = c.IsSquare
CheckError "IsSquare of a new CMatrix", &H80040529, "Matrix not yet sized.", "CorVaneMatrix30.CMatrix.1", 1321
c.Size 2, 2
Check "CMatrix IsSquare", c.IsSquare = True
Check "CMatrix Version", c.Version = "3.0.000"

Set g = CreateObject("CorVaneMatrix.Global")
CheckNoError "CreateObject Global"
Set m = g.CreateMatrix(3, 2)
CheckNoError "CreateMatrix"
Check "CreateMatrix shape", m.Rows = 3 And m.Cols = 2 And m(2, 1) = 0
Set m = g.CreateMatrix(0, 5)
CheckNoError "CreateMatrix with an invalid size succeeds"
Check "and the matrix is unsized", m.Rows = 0

' Operations with defaults, object arguments and variables filled by the call.
Dim a, b, s, t, p, n, text
Set a = CreateObject("CorvaneMatrix30.Matrix")
a.Size 3, 1
a(0, 0) = 3 : a(1, 0) = 1 : a(2, 0) = 2
text = a.GetString()
CheckNoError "GetString()"
Check "GetString() text", text = "| 3.000 |" & vbCrLf & "| 1.000 |" & vbCrLf & "| 2.000 |" & vbCrLf
Check "GetString(1, "";"")", a.GetString(1, ";") = "| 3.0 |;| 1.0 |;| 2.0 |;"
Set b = a.Clone()
a.SortRows 0, 0, p
CheckNoError "SortRows with an index variable"
Check "the index is an array of longs", VarType(p) = 8195
Check "sorted", a.GetString(0, ";") = "| 1 |;| 2 |;| 3 |;"
b.ReorderRows p
CheckNoError "ReorderRows with that index"
Check "reordered like the sort", b.IsEqualTo(a)
a.SortRows , 1
Check "SortRows with omitted arguments", a(0, 0) = 3
b.NormalizeMe n
CheckNoError "NormalizeMe n"
Check "the scale comes back in n", n = 3
Set s = a.Plus(b)
CheckNoError "Plus"
Set t = s.Times(b)
CheckError "Times of 3 x 1 by 3 x 1", &H8004051B, "Matrix multiplication is not possible.", "CorvaneMatrix30.Matrix.1", 1307
Set t = s.Transpose().Times(b)
Check "Transpose().Times", t.Rows = 1 And t.Cols = 1
a.FillRandom
CheckNoError "FillRandom()"
Check "random values are whole numbers below 10", a(0, 0) = Int(a(0, 0)) And a(0, 0) < 10
Set c = a.ToCMatrix()
Check "ToCMatrix", c.Rows = 3 And Left(c.GetString(0, ";"), 2) = "| "
b.ReorderRows 5
CheckError "ReorderRows 5", &H80040517, "Parameter is not an array, or it is not an array of the expected type.", "CorvaneMatrix30.Matrix.1", 1303

' A decomposition that fills the caller's objects.
Dim sym, cs, ev, evec
Set sym = CreateObject("CorvaneMatrix30.Matrix")
sym.Size 2, 2
sym(0, 0) = 2 : sym(0, 1) = 1 : sym(1, 0) = 1 : sym(1, 1) = 2
Set cs = sym.ToCMatrix()
Set ev = CreateObject("CorVaneMatrix30.CMatrix")
Set evec = CreateObject("CorVaneMatrix30.CMatrix")
cs.EigenC ev, evec
CheckNoError "EigenC ev, evec"
Check "eigenvalues filled in", ev.GetString(3, ";") = "| (3.000,0.000i) |;| (1.000,0.000i) |;"
Check "eigenvectors filled in", evec.Rows = 2 And evec.Cols = 2
cs.EigenC
CheckNoError "EigenC with no arguments"
cs.EigenC , evec
CheckNoError "EigenC with the vectors only"
cs.EigenC sym
Check "EigenC with a real matrix is a type mismatch", Err.Number = 13
Err.Clear

' Real decompositions filling the caller's objects and variables.
Dim sq, lf, uf, perm, sign, inv, rhs, sol, sv
Set sq = CreateObject("CorvaneMatrix30.Matrix")
sq.Size 2, 2
sq(0, 0) = 0 : sq(0, 1) = 1 : sq(1, 0) = 1 : sq(1, 1) = 0
Set lf = CreateObject("CorvaneMatrix30.Matrix")
Set uf = CreateObject("CorvaneMatrix30.Matrix")
sq.LU lf, uf, perm, sign
CheckNoError "LU L, U, p, s"
Check "LU sign", sign = -1
Check "LU index", VarType(perm) = 8195
Check "LU factors", lf.GetString(0, ";") = "| 1 0 |;| 0 1 |;" And uf.GetString(0, ";") = "| 1 0 |;| 0 1 |;"
sq.LU
CheckNoError "LU with no arguments"
sq.LU , , perm, sign
CheckNoError "LU , , p, s"
Check "Determinant", sq.Determinant() = -1
Set inv = sq.Inverse()
CheckNoError "Inverse"
Check "Inverse of a swap is itself", inv.IsEqualTo(sq)
Set rhs = CreateObject("CorvaneMatrix30.Matrix")
rhs.Size 2, 1
rhs(0, 0) = 5 : rhs(1, 0) = 7
Set sol = sq.SolveGauss(rhs)
CheckNoError "SolveGauss"
Check "solution", sol(0, 0) = 7 And sol(1, 0) = 5
Set sv = CreateObject("CorvaneMatrix30.Matrix")
sq.SVD , sv
CheckNoError "SVD , S"
Check "singular values", sv(0, 0) = 1 And sv(1, 1) = 1
rhs.Cholesky lf
CheckError "Cholesky of a 2 x 1", &H80040519, "This operation is possible only for a square Matrix.", "CorvaneMatrix30.Matrix.1", 1305

' Eigenvalues of a real matrix, as real and imaginary parts and as complex values.
Dim rot, rv, iv, cv
Set rot = CreateObject("CorvaneMatrix30.Matrix")
rot.Size 2, 2
rot(0, 1) = -1 : rot(1, 0) = 1
Set rv = CreateObject("CorvaneMatrix30.Matrix")
Set iv = CreateObject("CorvaneMatrix30.Matrix")
rot.Eigen rv, iv
CheckNoError "Eigen rv, iv"
Check "a rotation has eigenvalues +i and -i", rv.GetString(1, ";") = "| 0.0 |;| 0.0 |;" And Abs(iv(0, 0)) = 1 And iv(0, 0) = -iv(1, 0)
Set cv = CreateObject("CorVaneMatrix30.CMatrix")
rot.EigenC cv
CheckNoError "EigenC of a real matrix"
Check "two complex eigenvalues", cv.Rows = 2
rot.Eigen
CheckNoError "Eigen with no arguments"
Set sol = rot.Solve(rhs)
CheckNoError "Solve"
Check "Solve through the inverse", sol(0, 0) = 7 And sol(1, 0) = -5

WScript.Echo "server_test.vbs: " & passed & " passed, " & failed & " failed"
