// The server through the JScript host: creation, sizing, elements, errors
// caught with try/catch. The last line is the tally.
var passed = 0, failed = 0;
function check(name, ok) {
    if (ok) { passed++; } else { failed++; WScript.Echo("FAIL " + name); }
}
function hex(n) { return (n < 0 ? n + 0x100000000 : n).toString(16).toUpperCase(); }
function expectError(name, f, number, text) {
    try {
        f();
        check(name + " did not fail", false);
    } catch (e) {
        check(name + ": number " + hex(e.number), hex(e.number) === number);
        check(name + ": description '" + e.description + "'", e.description === text);
    }
}
try {
    var m = new ActiveXObject("CorvaneMatrix30.Matrix");
    check("new Rows", m.Rows === 0);
    m.Size(3, 2);
    check("Size", m.Rows === 3 && m.Cols === 2);
    m.Item(2, 1) = 4.25;
    check("Item put and get", m.Item(2, 1) === 4.25);
    check("IsSquare", m.IsSquare === false);
    expectError("Item(3, 0)", function () { return m.Item(3, 0); }, "80040527", "Row index exceeds matrix size.");
    expectError("Rows = 0", function () { m.Rows = 0; }, "80040515", "Invalid number of rows");
    expectError("Size(5, 0)", function () { m.Size(5, 0); }, "80040516", "Invalid number of columns.");
    var v = m.ColVector(1);
    check("ColVector", v.Rows === 3 && v.Item(2, 0) === 4.25);
    var copy = m.Clone();
    m.Clear();
    check("Clone is independent", copy.Item(2, 1) === 4.25 && m.Item(2, 1) === 0);
    check("Version", m.Version === "3.0.000");
    var g = new ActiveXObject("CorVaneMatrix.Global");
    var made = g.CreateMatrix(2, 2);
    check("CreateMatrix", made.Rows === 2 && made.IsSquare === true);
    var c = new ActiveXObject("CorVaneMatrix30.CMatrix");
    expectError("CMatrix IsSquare of a new object", function () { return c.IsSquare; }, "80040529", "Matrix not yet sized.");
    var a = new ActiveXObject("CorvaneMatrix30.Matrix");
    a.Size(2, 2);
    a.Item(0, 1) = 2;
    check("GetString()", a.GetString() === "| 0.000 2.000 |\r\n| 0.000 0.000 |\r\n");
    check("Transpose", a.Transpose().Item(1, 0) === 2);
    check("Times", a.Times(a.Transpose()).Item(0, 0) === 4);
    check("IsSymmetric", a.IsSymmetric() === false && a.Plus(a.Transpose()).IsSymmetric() === true);
    expectError("Plus of another shape", function () { return a.Plus(m); }, "80040520", "Matrices do not have the same size.");
    a.FillRandom(1, 2, 1);
    check("FillRandom(1, 2, 1)", a.Item(1, 1) >= 1 && a.Item(1, 1) <= 2);
    var sq = new ActiveXObject("CorvaneMatrix30.Matrix");
    sq.Size(2, 2);
    sq.Item(0, 0) = 2; sq.Item(0, 1) = 1; sq.Item(1, 0) = 1; sq.Item(1, 1) = 2;
    var lf = new ActiveXObject("CorvaneMatrix30.Matrix"), uf = new ActiveXObject("CorvaneMatrix30.Matrix");
    sq.LU(lf, uf);
    check("LU(L, U) fills the objects", lf.Item(1, 0) === 0.5 && uf.Item(1, 1) === 1.5);
    sq.LU();
    check("LU()", true);
    var ev = new ActiveXObject("CorvaneMatrix30.Matrix");
    sq.Eigen(ev);
    check("Eigen(values)", ev.GetString(1, ";") === "| 3.0 |;| 1.0 |;");
    check("Inverse", Math.abs(sq.Inverse().Item(0, 0) - 2 / 3) < 1e-15);
    expectError("Cholesky of a non-square matrix", function () { m.Cholesky(lf); }, "80040519",
                "This operation is possible only for a square Matrix.");
} catch (e) {
    check("unexpected error " + hex(e.number) + " " + e.description, false);
}
WScript.Echo("server_test.js: " + passed + " passed, " + failed + " failed");
