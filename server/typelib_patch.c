/* Build-time tool: completes the type library that widl writes, in the two
   places widl cannot express:
   - the Global class gets the predeclared-identifier type flag;
   - the double parameters get their default values (widl writes none, or a
     truncated integer), stored as VT_R8 values appended to the custom-data
     segment;
   - the optional object parameters (default "no object") get a null VT_DISPATCH
     default instead of widl's VT_PTR, which is no variant type: loaders
     refuse to describe such a function at all.
   Usage: typelib_patch in.tlb out.tlb. Runs on the build host; reads the
   little-endian MSFT format with explicit offsets, independent of the host. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { kSegTypeInfo = 0, kSegName = 7, kSegCustData = 11, kSegCount = 15 };
enum { kTypeFlagPredeclId = 0x8, kParamHasDefault = 0x20, kVtR8 = 5 };
/* Inline defaults: high bit, variant type in bits 26-30, value below. */
static const unsigned long kInlineNullPointer = 0x80000000ul | (26ul << 26); /* VT_PTR, 0 */
static const unsigned long kInlineNullDispatch = 0x80000000ul | (9ul << 26); /* VT_DISPATCH, 0 */

/* Default of each double parameter, by parameter name. */
static const struct {
    const char* name;
    double value;
} kDoubleDefaults[] = {{"LowLimit", 0.0}, {"HighLimit", 10.0}, {"MaxDifference", 1e-09}, {"NormValue", 1.0}};
#define DEFAULT_COUNT (sizeof kDoubleDefaults / sizeof kDoubleDefaults[0])

static unsigned char* data;
static long size;

static int Fail(const char* what) {
    fprintf(stderr, "typelib_patch: %s\n", what);
    return 1;
}
static int InRange(long off, long n) { return off >= 0 && n >= 0 && off <= size && n <= size - off; }
static long Get32(long off) {
    unsigned long v = (unsigned long)data[off] | (unsigned long)data[off + 1] << 8 |
                      (unsigned long)data[off + 2] << 16 | (unsigned long)data[off + 3] << 24;
    return (long)(v & 0x80000000ul ? (long)(v - 0x80000000ul) - 0x7fffffffL - 1 : (long)v);
}
static void Put32(long off, long v) {
    unsigned long u = (unsigned long)v;
    for (int i = 0; i < 4; ++i) data[off + i] = (unsigned char)(u >> (8 * i));
}
static unsigned Get16(long off) { return data[off] | data[off + 1] << 8; }

/* Name-table entry: 12-byte header (length in the low byte of the third
   integer), then the characters. */
static int NameIs(long nameSeg, long nameOff, const char* want) {
    long at = nameSeg + nameOff;
    if (!InRange(at, 12)) return 0;
    long len = data[at + 8];
    return InRange(at + 12, len) && (size_t)len == strlen(want) && memcmp(data + at + 12, want, (size_t)len) == 0;
}

int main(int argc, char** argv) {
    if (argc != 3) return Fail("usage: typelib_patch in.tlb out.tlb");
    FILE* in = fopen(argv[1], "rb");
    if (!in) return Fail("cannot open input");
    fseek(in, 0, SEEK_END);
    size = ftell(in);
    fseek(in, 0, SEEK_SET);
    const long extra = (long)(12 * DEFAULT_COUNT);
    data = calloc((size_t)(size + extra), 1);
    if (!data || fread(data, 1, (size_t)size, in) != (size_t)size) return Fail("cannot read input");
    fclose(in);
    if (size < 0x54 || Get32(0) != 0x5446534D) return Fail("not an MSFT type library");

    const long typeCount = Get32(0x20);
    const long offsets = 0x54 + ((Get32(0x14) & 0x100) ? 4 : 0);
    const long segDir = offsets + 4 * typeCount;
    if (typeCount < 1 || typeCount > 1000 || !InRange(segDir, 16 * kSegCount)) return Fail("bad header");
    const long typeSeg = Get32(segDir + 16 * kSegTypeInfo);
    const long nameSeg = Get32(segDir + 16 * kSegName);
    const long custSeg = Get32(segDir + 16 * kSegCustData);
    const long custLen = Get32(segDir + 16 * kSegCustData + 4);
    if (custSeg < 0) return Fail("no custom-data segment to extend");

    /* Room for the new values at the end of the custom-data segment: every
       later segment and every function block moves up by `extra`. */
    const long insertAt = custSeg + custLen;
    memmove(data + insertAt + extra, data + insertAt, (size_t)(size - insertAt));
    memset(data + insertAt, 0, (size_t)extra);
    size += extra;
    Put32(segDir + 16 * kSegCustData + 4, custLen + extra);
    for (int s = 0; s < kSegCount; ++s) {
        long off = Get32(segDir + 16 * s);
        if (off >= insertAt) Put32(segDir + 16 * s, off + extra);
    }
    long valueOffset[DEFAULT_COUNT];
    for (size_t k = 0; k < DEFAULT_COUNT; ++k) {
        long at = insertAt + 12 * (long)k;
        data[at] = kVtR8;
        memcpy(data + at + 2, &kDoubleDefaults[k].value, 8); /* hosts and targets are little-endian */
        memset(data + at + 10, 0x57, 2);
        valueOffset[k] = custLen + 12 * (long)k;
    }

    int predeclSet = 0, defaultsSet = 0, objectsSet = 0;
    for (long t = 0; t < typeCount; ++t) {
        const long base = typeSeg + Get32(offsets + 4 * t);
        if (!InRange(base, 0x64)) return Fail("bad type entry");
        long mem = Get32(base + 4);
        if (mem >= insertAt) Put32(base + 4, mem += extra);
        const long kind = Get32(base) & 0xf;
        if (kind == 5 && NameIs(nameSeg, Get32(base + 0x34), "Global")) {
            Put32(base + 0x30, Get32(base + 0x30) | kTypeFlagPredeclId);
            predeclSet = 1;
        }
        if (kind != 4 || mem <= 0) continue; /* function records of interfaces only */
        const long funcs = Get32(base + 0x18) & 0xffff;
        long p = mem + 4;
        for (long f = 0; f < funcs; ++f) {
            if (!InRange(p, 24)) return Fail("bad function record");
            const long recLen = Get32(p) & 0xffff;
            const long args = (long)Get16(p + 20);
            if (recLen < 24 + 12 * args || !InRange(p, recLen)) return Fail("bad function record");
            if (Get32(p + 16) & 0x1000) { /* the record carries a default per argument */
                const long params = p + recLen - 12 * args;
                const long defaults = params - 4 * args;
                for (long a = 0; a < args; ++a) {
                    const long pinfo = params + 12 * a;
                    if (!(Get32(pinfo + 8) & kParamHasDefault)) continue;
                    if (((unsigned long)Get32(defaults + 4 * a) & 0xfffffffful) == kInlineNullPointer) {
                        Put32(defaults + 4 * a, (long)kInlineNullDispatch);
                        ++objectsSet;
                    }
                    for (size_t k = 0; k < DEFAULT_COUNT; ++k) {
                        if (NameIs(nameSeg, Get32(pinfo + 4), kDoubleDefaults[k].name)) {
                            Put32(defaults + 4 * a, valueOffset[k]);
                            ++defaultsSet;
                        }
                    }
                }
            }
            p += recLen;
        }
    }
    if (!predeclSet) return Fail("no Global class");
    if (defaultsSet == 0) return Fail("no double defaults found");
    if (objectsSet == 0) return Fail("no object defaults found");

    FILE* out = fopen(argv[2], "wb");
    if (!out || fwrite(data, 1, (size_t)size, out) != (size_t)size || fclose(out) != 0)
        return Fail("cannot write output");
    free(data);
    return 0;
}
