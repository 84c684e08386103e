' Solving a linear system from VBScript with script arrays: the right-hand
' side from Array(...), the matrix from a two-dimensional Dim array, rows
' reordered with an Array(...) index, then SolveGauss and Inverse, whose
' results are read element by element through Item. A refused array shows the
' error it raises. The last line says the example ran to its end.
Option Explicit
On Error Resume Next

' Stops at the first failed step with its error.
Sub Check(stepName)
    If Err.Number <> 0 Then
        WScript.Echo "error in " & stepName & ": " & Err.Description
        WScript.Quit 1
    End If
End Sub

' A matrix as text, rounded to six decimals (halves up, as JScript's Math.round), one row a line.
Sub Show(title, m)
    Dim i, j, line
    WScript.Echo title & " (" & m.Rows & " x " & m.Cols & "):"
    For i = 0 To m.Rows - 1
        line = " "
        For j = 0 To m.Cols - 1
            line = line & " " & CStr(Int(m.Item(i, j) * 1000000 + 0.5) / 1000000)
        Next
        WScript.Echo line
    Next
End Sub

Dim a, b, x, inverse, k(2, 2), i, j
Dim values : values = Array(4, 1, 2, 1, 5, 1, 2, 1, 6)
For i = 0 To 2
    For j = 0 To 2
        k(i, j) = values(3 * i + j)
    Next
Next

Set a = CreateObject("CorvaneMatrix30.Matrix")
a.AsArray = k
Check "AsArray from a Dim array"
Show "A from Dim k(2, 2)", a

Set b = CreateObject("CorvaneMatrix30.Matrix")
b.AsArray = Array(12, 14, 22)
Check "AsArray from Array(...)"
Show "b from Array(12, 14, 22)", b

Set x = a.SolveGauss(b)
Check "SolveGauss"
Show "x = SolveGauss(A, b)", x

Set inverse = a.Inverse()
Check "Inverse"
Show "Inverse of A", inverse

a.ReorderRows Array(2, 0, 1)
b.ReorderRows Array(2, 0, 1)
Check "ReorderRows"
Show "A with rows reordered by Array(2, 0, 1)", a
Set x = a.SolveGauss(b)
Check "SolveGauss after reordering"
Show "x of the reordered system", x

a.AsArray = Array(1, "two")
WScript.Echo "Array(1, ""two"") refused: " & Err.Description & " (" & (Err.Number - vbObjectError) & ")"
Err.Clear
WScript.Echo "A is still " & a.Rows & " x " & a.Cols
WScript.Echo "solve.vbs: finished"
