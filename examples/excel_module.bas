Attribute VB_Name = "CorvaneSolve"
' Linear systems on an Excel worksheet with the CorvaneMatrix30 server, late
' bound (no reference to its type library needed). A range's Value is a
' 1-based two-dimensional array of variants, which AsArray takes as it is;
' AsArray read back is an array of doubles, which a range takes as its Value.
Option Explicit

' The coefficients in A1:C3 and the right-hand side in E1:E3 of the active
' sheet: the solution goes to G1:G3 and the inverse to A5:C7.
Public Sub SolveSheet()
    Dim ws As Worksheet, a As Object, b As Object
    On Error GoTo Failed
    Set ws = ActiveSheet
    Set a = CreateObject("CorvaneMatrix30.Matrix")
    Set b = CreateObject("CorvaneMatrix30.Matrix")
    a.AsArray = ws.Range("A1:C3").Value
    b.AsArray = ws.Range("E1:E3").Value
    ws.Range("G1:G3").Value = a.SolveGauss(b).AsArray
    ws.Range("A5:C7").Value = a.Inverse().AsArray
    Exit Sub
Failed:
    ' An empty or text cell gives error 1303 (vbObjectError + 1303) and
    ' leaves the matrix as it was.
    MsgBox Err.Description & " (" & (Err.Number - vbObjectError) & ")", vbExclamation, Err.Source
End Sub

' Worksheet function, entered as an array formula over as many cells as the
' system has unknowns: =SolveRange(A1:C3, E1:E3).
Public Function SolveRange(coefficients As Range, rightHandSide As Range) As Variant
    Dim a As Object, b As Object
    On Error GoTo Failed
    Set a = CreateObject("CorvaneMatrix30.Matrix")
    Set b = CreateObject("CorvaneMatrix30.Matrix")
    a.AsArray = coefficients.Value
    b.AsArray = rightHandSide.Value
    SolveRange = a.SolveGauss(b).AsArray
    Exit Function
Failed:
    SolveRange = CVErr(xlErrValue)
End Function

' Rows of a 1-based array of variants in another order, as a reordered
' coefficient matrix: rows 1, 2, 3 of A1:C3 go to positions 3, 1, 2 (the
' permutation index is 0-based: old row r goes to position index(r)).
Public Sub ReorderSheet()
    Dim a As Object, values(1 To 3, 1 To 3) As Variant, i As Long, j As Long
    Set a = CreateObject("CorvaneMatrix30.Matrix")
    For i = 1 To 3
        For j = 1 To 3
            values(i, j) = ActiveSheet.Cells(i, j).Value
        Next
    Next
    a.AsArray = values
    a.ReorderRows Array(2, 0, 1)
    ActiveSheet.Range("A9:C11").Value = a.AsArray
End Sub
