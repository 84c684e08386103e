// Solving a linear system from JScript with script arrays: the right-hand
// side from [12, 14, 22], the matrix from an array of rows, rows reordered
// with an index array, then SolveGauss and Inverse, whose results are read
// element by element through Item. A refused array shows the error it raises.
// The last line says the example ran to its end.

// A matrix as text, six decimals, one row a line.
function show(title, m) {
    WScript.Echo(title + " (" + m.Rows + " x " + m.Cols + "):");
    for (var i = 0; i < m.Rows; i++) {
        var line = " ";
        for (var j = 0; j < m.Cols; j++) line += " " + String(Math.round(m.Item(i, j) * 1e6) / 1e6);
        WScript.Echo(line);
    }
}

try {
    var a = new ActiveXObject("CorvaneMatrix30.Matrix");
    a.AsArray = [[4, 1, 2], [1, 5, 1], [2, 1, 6]];
    show("A from [[4, 1, 2], [1, 5, 1], [2, 1, 6]]", a);

    var b = new ActiveXObject("CorvaneMatrix30.Matrix");
    b.AsArray = [12, 14, 22];
    show("b from [12, 14, 22]", b);

    show("x = SolveGauss(A, b)", a.SolveGauss(b));
    show("Inverse of A", a.Inverse());

    a.ReorderRows([2, 0, 1]);
    b.ReorderRows([2, 0, 1]);
    show("A with rows reordered by [2, 0, 1]", a);
    show("x of the reordered system", a.SolveGauss(b));

    try {
        a.AsArray = [[1, 2], [3]];
        WScript.Echo("a ragged array was taken");
    } catch (e) {
        WScript.Echo("[[1, 2], [3]] refused: " + e.description + " (" + (e.number + 0x100000000 - 0x80040000) + ")");
    }
    WScript.Echo("A is still " + a.Rows + " x " + a.Cols);
    WScript.Echo("solve.js: finished");
} catch (e) {
    WScript.Echo("error: " + e.description);
}
