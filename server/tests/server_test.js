// The server through the JScript host: the three classes, property puts with
// arguments, omitted arguments, objects as arguments, errors caught with
// try/catch. The last line is the tally.
var passed = 0, failed = 0;
function check(name, ok) { if (ok) { passed++; } else { failed++; WScript.Echo("FAIL " + name); } }
function hex(n) { return (n < 0 ? n + 0x100000000 : n).toString(16).toUpperCase(); }
function expectError(name, f, number, text) {
    try { f(); check(name + " did not fail", false); }
    catch (e) { check(name + ": " + hex(e.number) + " '" + e.description + "'", hex(e.number) === number && (text === null || e.description === text)); }
}
try {
    var g = new ActiveXObject("CorVaneMatrix.Global");
    var m = new ActiveXObject("CorvaneMatrix30.Matrix.1"), c = new ActiveXObject("CorVaneMatrix30.CMatrix");
    expectError("Item of a new Matrix", function () { return m.Item(0, 0); }, "80040529", "Matrix not yet sized.");
    expectError("Rows = 0 of a CMatrix", function () { c.Rows = 0; }, "80040515", "Invalid number of rows");
    m.Size(2, 2);
    m.Item(0, 1) = 2;
    check("Item put and get, GetString()", m.Item(0, 1) === 2 && m.GetString() === "| 0.000 2.000 |\r\n| 0.000 0.000 |\r\n");
    check("IsSymmetric()", m.IsSymmetric() === false && m.Plus(m.Transpose()).IsSymmetric() === true);
    var one = g.CreateMatrix(2, 2), l = new ActiveXObject("CorvaneMatrix30.Matrix"), u = new ActiveXObject("CorvaneMatrix30.Matrix");
    one.Item(0, 0) = 1; one.Item(1, 1) = 1;
    check("objects as arguments", m.Times(one).IsEqualTo(m) && !m.IsEqualTo(one, 1.5));
    one.Item(1, 0) = 0.5;
    one.LU(l, u);
    one.LU();
    check("LU(l, u) fills the objects", l.Item(1, 0) === 0.5 && u.Item(1, 1) === 1 && u.Item(1, 0) === 0);
    m.FillRandom(4, 4);
    check("FillRandom(4, 4)", m.GetString(0, ";") === "| 4 4 |;| 4 4 |;" && c.Version === "3.0.000");
    expectError("Plus of another shape", function () { return m.Plus(g.CreateMatrix(3, 1)); }, "80040520", "Matrices do not have the same size.");
    expectError("a number for an object", function () { return m.Times(2); }, "80020005", null);
} catch (e) {
    check("unexpected error " + hex(e.number) + " " + e.description, false);
}
WScript.Echo("server_test.js: " + passed + " passed, " + failed + " failed");
