#!/usr/bin/env python3
"""Writes the host reference (docs/reference.md) from the type library's IDL
and the message catalogue, so the reference cannot drift from the interfaces.

  idl_reference.py            print the reference
  idl_reference.py --check F  exit 1 (with a diff) unless F is current
"""
import difflib
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
IDL = ROOT / "server" / "CorvaneMatrix30.idl"
MESSAGES = ROOT / "core" / "messages.def"

# Interface -> (class, ProgID, variable used in the examples).
CLASSES = {
    "IMatrix": ("Matrix", "CorvaneMatrix30.Matrix", "m"),
    "ICMatrix": ("CMatrix", "CorVaneMatrix30.CMatrix", "c"),
    "IGlobal": ("Global", "CorVaneMatrix.Global", "g"),
}


def messages():
    text = MESSAGES.read_text()
    return {int(n): t for n, t in re.findall(r'CORVANE_MESSAGE\((\d+), "([^"]*)"\)', text)}


def parse_params(text):
    params = []
    for attrs, decl in re.findall(r"\[([^\]]*)\]\s*([^,\[]+)", text):
        decl = decl.strip()
        name = re.search(r"(\w+)$", decl).group(1)
        ctype = decl[: -len(name)].strip()
        default = re.search(r'defaultvalue\(([^)]*)\)', attrs)
        params.append({
            "name": name, "type": ctype,
            "in": "in" in re.split(r"[,\s]+", attrs), "out": "out" in attrs,
            "retval": "retval" in attrs, "optional": "optional" in attrs,
            "default": default.group(1) if default else None,
        })
    return params


def parse_idl():
    """Interfaces in file order: name, help string and members in slot order."""
    text = IDL.read_text()
    consts = dict(re.findall(r"const double (\w+) = ([^;]+);", text))
    interfaces = []
    pattern = re.compile(r'\[([^\]]*?helpstring\("([^"]*)"\)[^\]]*)\]\s*interface (\w+) : IDispatch\s*\{(.*?)\n\}', re.S)
    for attrs, help_string, name, body in pattern.findall(text):
        members, fails = [], []
        for line in body.split("\n"):
            line = line.strip()
            if line.startswith("// fails:"):
                fails = [int(n) for n in line.split(":")[1].split()]
            elif line.startswith("[id("):
                attr = line
            elif line.startswith("HRESULT "):
                mname, ptext = re.match(r"HRESULT (\w+)\((.*)\);", line).groups()
                params = parse_params(ptext)
                for p in params:
                    p["default"] = consts.get(p["default"], p["default"])
                members.append({
                    "name": mname,
                    "kind": "get" if "propget" in attr else "put" if "propput" in attr else "method",
                    "id": int(re.search(r"id\((\d+)\)", attr).group(1)),
                    "help": re.search(r'helpstring\("([^"]*)"\)', attr).group(1),
                    "context": int(re.search(r"helpcontext\((\d+)\)", attr).group(1)),
                    "params": params, "fails": fails,
                })
                fails = []
        interfaces.append((name, help_string, members))
    return interfaces


def is_object(ctype):
    return ctype.startswith(("IMatrix", "ICMatrix"))


def var(p):
    return p["name"][0].lower() + p["name"][1:]


def calls(member, obj):
    """The member's call for VBA, VBScript, JScript and C++ (early bound)."""
    name, kind, params = member["name"], member["kind"], member["params"]
    args = [p for p in params if not p["retval"]]
    result = next((p for p in params if p["retval"]), None)
    if kind == "put":
        *index, value = args
        target = f"{obj}.{name}" + (f"({', '.join(var(p) for p in index)})" if index else "")
        basic = f"{obj}.{name}" + (f"({', '.join(var(p) for p in index)})" if index else "") + f" = {var(value)}"
        js = f"{target} = {var(value)};" if not index else "(not expressible: JScript cannot assign to a call)"
        cpp_args = [var(p) if not p["type"].endswith("*") else "&" + var(p) for p in args]
        return basic, basic, js, f"hr = {obj}->put_{name}({', '.join(cpp_args)});"
    listed = ", ".join(var(p) for p in args)
    if result is not None:
        lhs = "Set r = " if is_object(result["type"]) else "x = "
        basic = f"{lhs}{obj}.{name}" + (f"({listed})" if args else "")
        js = f"{'r' if is_object(result['type']) else 'x'} = {obj}.{name}" + (f"({listed})" if args or kind == "method" else "") + ";"
    else:
        basic = f"{obj}.{name}" + (f" {listed}" if args else "")
        js = f"{obj}.{name}({listed});"
    cpp_args = []
    for p in params:
        pointer = p["type"].endswith("*")
        if p["retval"]:
            cpp_args.append("&" + ("r" if is_object(p["type"]) else "x"))
        else:
            cpp_args.append("&" + var(p) if pointer else var(p))
    prefix = "get_" if kind == "get" else ""
    return basic, basic, js, f"hr = {obj}->{prefix}{name}({', '.join(cpp_args)});"


def param_row(p):
    direction = "in/out" if p["in"] and p["out"] else "out" if p["out"] else "in"
    if p["default"] is not None:
        note = "optional, default " + ("none" if p["default"] == "0" and is_object(p["type"]) else p["default"])
    else:
        note = "optional" if p["optional"] else "required"
    return f"| `{p['name']}` | {direction} | `{p['type']}` | {note} |"


def render():
    msgs = messages()
    out = [
        "# CorvaneMatrix30 reference",
        "",
        "Generated from `server/CorvaneMatrix30.idl` and `core/messages.def` by",
        "`scripts/idl_reference.py`; do not edit by hand.",
        "",
        "Every member returns an HRESULT. A failure from the message catalogue returns",
        "0x80040000 + number and sets an error record (description, source = the",
        "ProgID, help file \"CorvaneMatrix.chm\", help context = number); script hosts",
        "raise it as a run-time error (VBScript/VBA `Err.Number`, `Err.Description`;",
        "JScript `e.number`, `e.description`). Any member may also fail with",
        "`E_OUTOFMEMORY` (nothing changes), early-bound with `E_POINTER` for a null",
        "pointer, and late-bound with the dispatcher's `DISP_E_*` codes. A failed",
        "call leaves its object and outputs unchanged. Indexes are 0-based.",
        "",
        "In the examples `m` is a `Matrix`, `c` a `CMatrix`, `g` the `Global` object;",
        "C++ calls the interface slots of `CorvaneMatrix30.h` (generated from the IDL).",
        "`Item` is the default member (`x = m(0, 1)`, `m(0, 1) = 2.5`). Hosts that",
        "reference the type library (VBA, VB6) may call the `Global` members by bare",
        "name (`Set a = CreateMatrix(3, 3)`).",
        "",
        "## Messages",
        "",
        "| number | HRESULT | text |",
        "|---|---|---|",
    ]
    out += [f"| {n} | 0x{0x80040000 + n:08X} | \"{t}\" |" for n, t in sorted(msgs.items())]
    for iface, help_string, members in parse_idl():
        cls, progid, obj = CLASSES[iface]
        out += ["", f"## {cls} (`{iface}`)", "", f"{help_string}. ProgID \"{progid}\".", ""]
        for m in members:
            kind = {"get": "property get", "put": "property put", "method": "method"}[m["kind"]]
            out += [f"### {m['name']} ({kind})", "", f"{m['help']}", "",
                    f"Dispatch id {m['id']}, help context {m['context']}."]
            args = [p for p in m["params"] if not p["retval"]]
            if args:
                out += ["", "| parameter | direction | type | |", "|---|---|---|---|"]
                out += [param_row(p) for p in args]
            result = next((p for p in m["params"] if p["retval"]), None)
            if result is not None:
                out += ["", f"Returns `{result['type'].rstrip('*').strip()}`."]
            if m["fails"]:
                out += ["", "Fails with, in this order of checks:"]
                out += [f"- {n} \"{msgs[n]}\"" for n in m["fails"]]
            vba, vbs, js, cpp = calls(m, obj)
            out += ["", "```", f"VBA       {vba}", f"VBScript  {vbs}", f"JScript   {js}", f"C++       {cpp}", "```", ""]
    return "\n".join(out).rstrip("\n") + "\n"


def main():
    text = render()
    if len(sys.argv) == 3 and sys.argv[1] == "--check":
        committed = pathlib.Path(sys.argv[2]).read_text()
        if committed != text:
            sys.stdout.writelines(difflib.unified_diff(committed.splitlines(True), text.splitlines(True),
                                                       sys.argv[2], "generated", n=1))
            print(f"{sys.argv[2]} is stale: run scripts/idl_reference.py > {sys.argv[2]}")
            return 1
        return 0
    sys.stdout.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
