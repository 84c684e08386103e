' Demonstration of the CorvaneMatrix30 automation server from VBScript:
' creating matrices by ProgID, sizing and resizing, element access through
' the default member, arithmetic, sorting, text output, the Global object's
' factory, and failures caught with their records.
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
m.Size 0, 5
WScript.Echo "Size 0, 5 fails: " & Err.Description & "; the matrix keeps its shape " & m.Rows & " x " & m.Cols
