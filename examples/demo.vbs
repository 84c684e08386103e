' Demonstration of the CorvaneMatrix30 automation server from VBScript:
' creating matrices by ProgID, sizing and resizing, element access through
' the default member, arithmetic, sorting, a linear system, an inverse and
' eigenvalues, the Global object's factory, and failures caught with their
' records.
Option Explicit
Const msoDescending = 1

Function Show(m)
    Show = "    " & Replace(m.GetString(2), vbCrLf, vbCrLf & "    ")
End Function

Dim m, copy, col, g, made, c, v, i, j
WScript.Echo "CorvaneMatrix30 " & CreateObject("CorvaneMatrix30.Matrix").Version & " under " & WScript.Name
WScript.Echo ""

Set m = CreateObject("CorvaneMatrix30.Matrix")
WScript.Echo "A new Matrix: Rows = " & m.Rows & ", Cols = " & m.Cols & ", MaxSize = " & m.MaxSize
m.Size 3, 3
For i = 0 To 2
    For j = 0 To 2
        m(i, j) = 1 + i * 3 + j
    Next
Next
WScript.Echo "After Size 3, 3 and filling through m(i, j):"
WScript.Echo Show(m)

m.Rows = 4
WScript.Echo "Rows = 4 keeps the common block and adds a zero row:"
WScript.Echo Show(m)

Set copy = m.Clone()
copy.SwapRows 0, 3
Set col = m.ColVector(1)
WScript.Echo "A clone with rows 0 and 3 swapped:"
WScript.Echo Show(copy)
WScript.Echo "Column 1 as a vector (" & col.Rows & " x " & col.Cols & "):"
WScript.Echo Show(col)

Dim t, u, p
Set t = copy.Transpose()
WScript.Echo "Its transpose times column 1 (Transpose, Times):"
WScript.Echo Show(t.Times(col))
Set u = copy.Clone()
copy.SortRows 2, msoDescending, p
WScript.Echo "The clone sorted on column 2, descending (SortRows):"
WScript.Echo Show(copy)
u.ReorderRows p
WScript.Echo "Its permutation index applied to an unsorted copy (ReorderRows) gives the ascending order:"
WScript.Echo Show(u)
Set t = u
t.FillRandom 0, 1, 3
WScript.Echo "FillRandom 0, 1, 3 and GetString(3, "" / ""): " & t.GetString(3, " / ")
WScript.Echo ""

' A linear system A x = b, the inverse of A and its eigenvalues.
Dim a, b, x, values
Set a = CreateObject("CorvaneMatrix30.Matrix")
a.Size 3, 3
a(0, 0) = 4 : a(0, 1) = 1 : a(0, 2) = 0
a(1, 0) = 1 : a(1, 1) = 3 : a(1, 2) = 1
a(2, 0) = 0 : a(2, 1) = 1 : a(2, 2) = 2
Set b = CreateObject("CorvaneMatrix30.Matrix")
b.Size 3, 1
b(0, 0) = 1 : b(1, 0) = 2 : b(2, 0) = 3
WScript.Echo "A:"
WScript.Echo Show(a)
Set x = a.SolveGauss(b)
WScript.Echo "The solution x of A x = (1, 2, 3) (SolveGauss):"
WScript.Echo Show(x)
WScript.Echo "The inverse of A (Inverse, GetString(4)):"
WScript.Echo "    " & Replace(a.Inverse().GetString(4), vbCrLf, vbCrLf & "    ")
Set values = CreateObject("CorvaneMatrix30.Matrix")
a.Eigen values
WScript.Echo "Its eigenvalues (Eigen), and its determinant " & a.Determinant() & ":"
WScript.Echo "    " & Replace(values.GetString(6), vbCrLf, vbCrLf & "    ")

Set g = CreateObject("CorVaneMatrix.Global")
Set made = g.CreateMatrix(2, 3)
WScript.Echo "Global.CreateMatrix(2, 3) gives a " & made.Rows & " x " & made.Cols & " matrix; IsSquare = " & made.IsSquare

On Error Resume Next
v = m(4, 0)
WScript.Echo "Reading m(4, 0) fails:"
WScript.Echo "    Err.Number      = &H" & Hex(Err.Number)
WScript.Echo "    Err.Description = " & Err.Description
WScript.Echo "    Err.Source      = " & Err.Source
WScript.Echo "    Err.HelpFile    = " & Err.HelpFile & ", HelpContext = " & Err.HelpContext
Err.Clear
Set c = CreateObject("CorVaneMatrix30.CMatrix")
v = c.IsSquare
WScript.Echo "IsSquare of an unsized CMatrix fails: " & Err.Description & " (" & Err.Source & ", help context " & Err.HelpContext & ")"
Err.Clear
Set x = m.Inverse()
WScript.Echo "Inverse of the 4 x 3 matrix fails: " & Err.Description & " (&H" & Hex(Err.Number) & ", help context " & Err.HelpContext & ")"
Err.Clear
m.Size 0, 5
WScript.Echo "Size 0, 5 fails: " & Err.Description & "; the matrix keeps its shape " & m.Rows & " x " & m.Cols
