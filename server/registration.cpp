// DllRegisterServer and DllUnregisterServer (for every user of the machine,
// under HKEY_CLASSES_ROOT) and DllInstall with "user" (for the current user,
// under HKEY_CURRENT_USER\Software\Classes, no administrator needed): the
// AppID entries of the REGISTRY 101 script, the entries of every class, and
// the type library. One writer serves both, given the root key.
#include <windows.h>
#include <ole2.h>

#include <cwchar>
#include <initializer_list>

#include "CorvaneMatrix30.h"
#include "server/module.h"

namespace corvane::server {
namespace {

constexpr int kPathChars = MAX_PATH;

HRESULT FromWin32(LONG status) { return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status); }

// The full path of this library file.
HRESULT ModulePath(wchar_t (&path)[kPathChars]) {
    const DWORD n = GetModuleFileNameW(ModuleHandle(), path, kPathChars);
    if (n == 0) return HRESULT_FROM_WIN32(GetLastError());
    if (n >= kPathChars) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    return S_OK;
}

// Creates key `path` under root and sets a string value (the default value
// when name is null; nothing when value is null).
HRESULT SetEntry(HKEY root, const wchar_t* path, const wchar_t* name, const wchar_t* value) {
    HKEY key = nullptr;
    LONG status = RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) return FromWin32(status);
    if (value != nullptr) {
        const auto bytes = static_cast<DWORD>((lstrlenW(value) + 1) * sizeof(wchar_t));
        status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), bytes);
    }
    RegCloseKey(key);
    return FromWin32(status);
}

// Deletes a key with everything beneath it; a missing key is no failure.
HRESULT DeleteTree(HKEY root, const wchar_t* path) {
    const LONG status = RegDeleteTreeW(root, path);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return FromWin32(status);
    const LONG removed = RegDeleteKeyW(root, path);
    return removed == ERROR_FILE_NOT_FOUND ? S_OK : FromWin32(removed);
}

// Deletes a key when nothing is left in it, neither a subkey nor a value: a
// key that holds what another program put there stays.
HRESULT DeleteIfEmpty(HKEY root, const wchar_t* path) {
    HKEY key = nullptr;
    LONG status = RegOpenKeyExW(root, path, 0, KEY_READ, &key);
    if (status == ERROR_FILE_NOT_FOUND) return S_OK;
    if (status != ERROR_SUCCESS) return FromWin32(status);
    DWORD subkeys = 0, values = 0;
    status = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                              nullptr, nullptr);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return FromWin32(status);
    if (subkeys != 0 || values != 0) return S_OK;
    status = RegDeleteKeyW(root, path);
    return status == ERROR_FILE_NOT_FOUND ? S_OK : FromWin32(status);
}

// Deletes one value (the default value when name is null); a missing key or
// value is no failure.
HRESULT DeleteValue(HKEY root, const wchar_t* path, const wchar_t* name) {
    HKEY key = nullptr;
    LONG status = RegOpenKeyExW(root, path, 0, KEY_SET_VALUE, &key);
    if (status == ERROR_FILE_NOT_FOUND) return S_OK;
    if (status != ERROR_SUCCESS) return FromWin32(status);
    status = RegDeleteValueW(key, name);
    RegCloseKey(key);
    return status == ERROR_FILE_NOT_FOUND ? S_OK : FromWin32(status);
}

void Braced(REFGUID guid, wchar_t (&text)[40]) { StringFromGUID2(guid, text, 40); }

// Concatenates up to four pieces into a fixed buffer.
struct Path {
    wchar_t text[512];
    Path() : text{} {}
    Path(const wchar_t* a, const wchar_t* b = L"", const wchar_t* c = L"", const wchar_t* d = L"") {
        text[0] = L'\0';
        for (const wchar_t* piece : {a, b, c, d})
            if (lstrlenW(text) + lstrlenW(piece) < 511) lstrcatW(text, piece);
    }
    operator const wchar_t*() const { return text; }
};

// One entry of the REGISTRY script: "key [: name] = data", %APPID% replaced.
struct ScriptEntry {
    wchar_t key[256];
    wchar_t name[64];
    wchar_t data[256];
};

void Trim(wchar_t* s) {
    int n = lstrlenW(s);
    while (n > 0 && (s[n - 1] == L' ' || s[n - 1] == L'\t' || s[n - 1] == L'\r')) s[--n] = L'\0';
    int start = 0;
    while (s[start] == L' ' || s[start] == L'\t') ++start;
    if (start > 0) MoveMemory(s, s + start, (n - start + 1) * sizeof(wchar_t));
}

void Substitute(const wchar_t* in, wchar_t* out, int capacity, const wchar_t* appId) {
    int o = 0;
    for (int i = 0; in[i] != L'\0' && o < capacity - 1;) {
        if (lstrlenW(in + i) >= 7 && CompareStringOrdinal(in + i, 7, L"%APPID%", 7, FALSE) == CSTR_EQUAL) {
            for (int k = 0; appId[k] != L'\0' && o < capacity - 1; ++k) out[o++] = appId[k];
            i += 7;
        } else {
            out[o++] = in[i++];
        }
    }
    out[o] = L'\0';
}

// Reads the script's entries in order; returns their count.
int ReadScript(ScriptEntry* entries, int capacity, const wchar_t* appId) {
    HRSRC found = FindResourceW(ModuleHandle(), MAKEINTRESOURCEW(101), L"REGISTRY");
    if (found == nullptr) return 0;
    const char* text = static_cast<const char*>(LockResource(LoadResource(ModuleHandle(), found)));
    const DWORD size = SizeofResource(ModuleHandle(), found);
    if (text == nullptr) return 0;
    int count = 0;
    for (DWORD at = 0; at < size && count < capacity;) {
        wchar_t line[512];
        int n = 0;
        while (at < size && text[at] != '\n') {
            if (n < 511) line[n++] = static_cast<wchar_t>(static_cast<unsigned char>(text[at]));
            ++at;
        }
        ++at;
        line[n] = L'\0';
        Trim(line);
        if (line[0] == L'\0' || line[0] == L';') continue;
        wchar_t* equals = wcschr(line, L'=');
        if (equals == nullptr) continue;
        *equals = L'\0';
        wchar_t* colon = wcschr(line, L':');
        ScriptEntry& e = entries[count++];
        e.name[0] = L'\0';
        if (colon != nullptr) {
            *colon = L'\0';
            lstrcpynW(e.name, colon + 1, 64);
            Trim(e.name);
        }
        Trim(line);
        wchar_t data[256];
        lstrcpynW(data, equals + 1, 256);
        Trim(data);
        Substitute(line, e.key, 256, appId);
        Substitute(data, e.data, 256, appId);
    }
    return count;
}

constexpr int kMaxScriptEntries = 16;

HRESULT RegisterScript(HKEY root, const wchar_t* appId) {
    ScriptEntry entries[kMaxScriptEntries];
    const int count = ReadScript(entries, kMaxScriptEntries, appId);
    if (count == 0) return HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND);
    for (int i = 0; i < count; ++i) {
        const HRESULT hr =
            SetEntry(root, entries[i].key, entries[i].name[0] ? entries[i].name : nullptr, entries[i].data);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

// The values written first, then each key left empty, up to but not
// including the top-level key shared by every component (AppID).
HRESULT UnregisterScript(HKEY root, const wchar_t* appId) {
    ScriptEntry entries[kMaxScriptEntries];
    const int count = ReadScript(entries, kMaxScriptEntries, appId);
    if (count == 0) return HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND);
    for (int i = 0; i < count; ++i) {
        const HRESULT hr = DeleteValue(root, entries[i].key, entries[i].name[0] ? entries[i].name : nullptr);
        if (FAILED(hr)) return hr;
    }
    for (int i = count - 1; i >= 0; --i) {
        wchar_t key[256];
        lstrcpyW(key, entries[i].key);
        for (wchar_t* slash = wcsrchr(key, L'\\'); slash != nullptr; slash = wcsrchr(key, L'\\')) {
            const HRESULT hr = DeleteIfEmpty(root, key);
            if (FAILED(hr)) return hr;
            *slash = L'\0';
        }
    }
    return S_OK;
}

// One registry entry: a value under a key (the default value when name is
// null), or only the key. A fresh key is deleted with everything beneath it
// before it is written.
struct Entry {
    Path key;
    const wchar_t* name = nullptr;
    Path value;
    bool hasValue = false;
    bool fresh = false;
};

Entry Value(const Path& key, const wchar_t* name, const wchar_t* value, bool fresh = false) {
    Entry e;
    e.key = key;
    e.name = name;
    e.value = Path(value);
    e.hasValue = true;
    e.fresh = fresh;
    return e;
}

Entry KeyOnly(const Path& key, bool fresh = false) {
    Entry e;
    e.key = key;
    e.fresh = fresh;
    return e;
}

HRESULT WriteEntries(HKEY root, const Entry* entries, int count) {
    for (int i = 0; i < count; ++i) {
        const Entry& e = entries[i];
        HRESULT hr = e.fresh ? DeleteTree(root, e.key) : S_OK;
        if (SUCCEEDED(hr)) hr = SetEntry(root, e.key, e.name, e.hasValue ? e.value.text : nullptr);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

// In reverse order: each value written is deleted, then its key if nothing is
// left in it. Values and subkeys of other programs stay, and their keys with
// them; what is already gone is no failure, so this can run any number of
// times.
HRESULT RemoveEntries(HKEY root, const Entry* entries, int count) {
    for (int i = count - 1; i >= 0; --i) {
        const Entry& e = entries[i];
        HRESULT hr = e.hasValue ? DeleteValue(root, e.key, e.name) : S_OK;
        if (SUCCEEDED(hr)) hr = DeleteIfEmpty(root, e.key);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

constexpr int kClassEntries = 13;

// The entries of one class in the order they are written.
void ClassEntries(const ClassEntry& row, const wchar_t* module, const wchar_t* appId, Entry (&out)[kClassEntries]) {
    wchar_t clsid[40];
    Braced(*row.clsid, clsid);
    const Path classKey(L"CLSID\\", clsid);
    int n = 0;
    out[n++] = Value(Path(row.progId), nullptr, row.friendlyName);
    out[n++] = Value(Path(row.progId, L"\\CLSID"), nullptr, clsid);
    out[n++] = Value(Path(row.versionIndependentProgId), nullptr, row.friendlyName);
    out[n++] = Value(Path(row.versionIndependentProgId, L"\\CLSID"), nullptr, clsid);
    out[n++] = Value(Path(row.versionIndependentProgId, L"\\CurVer"), nullptr, row.progId);
    out[n++] = Value(classKey, nullptr, row.friendlyName, true);
    out[n++] = Value(classKey, L"AppID", appId);
    out[n++] = Value(Path(classKey, L"\\ProgID"), nullptr, row.progId);
    out[n++] = Value(Path(classKey, L"\\VersionIndependentProgID"), nullptr, row.versionIndependentProgId);
    out[n++] = KeyOnly(Path(classKey, L"\\Programmable"), true);
    out[n++] = Value(Path(classKey, L"\\InprocServer32"), nullptr, module);
    out[n++] = Value(Path(classKey, L"\\InprocServer32"), L"ThreadingModel", L"apartment");
    out[n++] = Value(Path(classKey, L"\\TypeLib"), nullptr, appId);  // the type library's identifier
}

// The type library's entries as the platform's RegisterTypeLib writes them,
// and RegisterTypeLibForUser under the user's classes: first those both
// builds of the library share (the version key, FLAGS, HELPDIR), then the
// locale key and this build's path (win32 or win64), then for every
// automation interface its name, proxy-stub class and library.
constexpr int kSharedLibraryEntries = 4;
constexpr int kLibraryEntries = kSharedLibraryEntries + 2;
constexpr int kInterfaceEntries = 5;
constexpr int kMaxInterfaces = 8;  // the library declares three
constexpr int kMaxTypeLibEntries = kLibraryEntries + kInterfaceEntries * kMaxInterfaces;
constexpr wchar_t kAutomationProxy[] = L"{00020424-0000-0000-C000-000000000046}";
constexpr wchar_t kDispatchProxy[] = L"{00020420-0000-0000-C000-000000000046}";

// The interface entries of type `index` when it is an automation interface
// (a dispatch interface, dual ones included, or an interface marked
// oleautomation); nothing otherwise.
HRESULT InterfaceEntries(ITypeLib* library, UINT index, const wchar_t* libId, const wchar_t* version, Entry* out,
                         int* count) {
    *count = 0;
    TYPEKIND kind;
    HRESULT hr = library->GetTypeInfoType(index, &kind);
    if (FAILED(hr) || (kind != TKIND_INTERFACE && kind != TKIND_DISPATCH)) return hr;
    ITypeInfo* info = nullptr;
    hr = library->GetTypeInfo(index, &info);
    if (FAILED(hr)) return hr;
    TYPEATTR* attr = nullptr;
    hr = info->GetTypeAttr(&attr);
    BSTR name = nullptr;
    if (SUCCEEDED(hr)) {
        if (kind == TKIND_DISPATCH || (attr->wTypeFlags & TYPEFLAG_FOLEAUTOMATION) != 0)
            hr = library->GetDocumentation(static_cast<INT>(index), &name, nullptr, nullptr, nullptr);
        if (SUCCEEDED(hr) && name != nullptr) {
            wchar_t iid[40];
            Braced(attr->guid, iid);
            const Path key(L"Interface\\", iid);
            const bool automation = attr->typekind == TKIND_INTERFACE || (attr->wTypeFlags & TYPEFLAG_FDUAL) != 0;
            const wchar_t* proxy = automation ? kAutomationProxy : kDispatchProxy;
            int n = 0;
            out[n++] = Value(key, nullptr, name);
            out[n++] = Value(Path(key, L"\\ProxyStubClsid"), nullptr, proxy);
            out[n++] = Value(Path(key, L"\\ProxyStubClsid32"), nullptr, proxy);
            out[n++] = Value(Path(key, L"\\TypeLib"), nullptr, libId);
            out[n++] = Value(Path(key, L"\\TypeLib"), L"Version", version);
            *count = n;
        }
        SysFreeString(name);
        info->ReleaseTypeAttr(attr);
    }
    info->Release();
    return hr;
}

HRESULT TypeLibEntries(const wchar_t* module, const wchar_t* folder, Entry (&out)[kMaxTypeLibEntries], int* count) {
    *count = 0;
    ITypeLib* library = nullptr;
    HRESULT hr = LoadTypeLibEx(module, REGKIND_NONE, &library);
    if (FAILED(hr)) return hr;
    TLIBATTR* attr = nullptr;
    hr = library->GetLibAttr(&attr);
    BSTR name = nullptr, doc = nullptr;
    if (SUCCEEDED(hr)) hr = library->GetDocumentation(-1, &name, &doc, nullptr, nullptr);
    if (SUCCEEDED(hr)) {
        wchar_t libId[40], version[16], locale[16], flags[16];
        Braced(attr->guid, libId);
        std::swprintf(version, 16, L"%x.%x", attr->wMajorVerNum, attr->wMinorVerNum);
        std::swprintf(locale, 16, L"%lx", static_cast<unsigned long>(attr->lcid));
        std::swprintf(flags, 16, L"%u", static_cast<unsigned>(attr->wLibFlags));
        const Path libKey(L"TypeLib\\", libId);
        const Path versionKey(libKey, L"\\", version);
        int n = 0;
        out[n++] = KeyOnly(libKey);
        out[n++] = Value(versionKey, nullptr, doc != nullptr ? doc : name != nullptr ? name : L"");
        out[n++] = Value(Path(versionKey, L"\\FLAGS"), nullptr, flags);
        out[n++] = Value(Path(versionKey, L"\\HELPDIR"), nullptr, folder);
        out[n++] = KeyOnly(Path(versionKey, L"\\", locale));
        out[n++] = Value(Path(versionKey, L"\\", locale, attr->syskind == SYS_WIN64 ? L"\\win64" : L"\\win32"), nullptr,
                         module);
        const UINT types = library->GetTypeInfoCount();
        for (UINT i = 0; i < types && SUCCEEDED(hr); ++i) {
            if (n + kInterfaceEntries > kMaxTypeLibEntries) {
                hr = E_UNEXPECTED;
                break;
            }
            int added = 0;
            hr = InterfaceEntries(library, i, libId, version, out + n, &added);
            n += added;
        }
        *count = n;
    }
    SysFreeString(name);
    SysFreeString(doc);
    if (attr != nullptr) library->ReleaseTLibAttr(attr);
    library->Release();
    return hr;
}

// Unregisters the type library from the machine when it is registered;
// nothing to do is no failure.
HRESULT UnregisterTypeLibrary(const wchar_t* module) {
    ITypeLib* library = nullptr;
    HRESULT hr = LoadTypeLibEx(module, REGKIND_NONE, &library);
    if (FAILED(hr)) return hr;
    TLIBATTR* attr = nullptr;
    hr = library->GetLibAttr(&attr);
    if (SUCCEEDED(hr)) {
        BSTR path = nullptr;
        if (SUCCEEDED(QueryPathOfRegTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid, &path))) {
            SysFreeString(path);
            hr = UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid, attr->syskind);
        }
        library->ReleaseTLibAttr(attr);
    }
    library->Release();
    return hr;
}

bool KeyExists(HKEY root, const wchar_t* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// Machine-wide registration goes under HKEY_CLASSES_ROOT, with the type
// library registered by the platform; a user's goes under that user's
// Software\Classes, which the platform merges into HKEY_CLASSES_ROOT for
// that user.
enum class Scope { machine, user };

HRESULT Register(HKEY root, Scope scope) {
    wchar_t module[kPathChars];
    HRESULT hr = ModulePath(module);
    if (FAILED(hr)) return hr;
    wchar_t appId[40];
    Braced(LIBID_CorvaneMatrix30, appId);
    hr = RegisterScript(root, appId);
    for (int i = 0; i < kClassCount && SUCCEEDED(hr); ++i) {
        Entry entries[kClassEntries];
        ClassEntries(ClassTable()[i], module, appId, entries);
        hr = WriteEntries(root, entries, kClassEntries);
    }
    if (FAILED(hr)) return hr;
    // The type library, with the library's folder as help directory.
    wchar_t folder[kPathChars];
    lstrcpyW(folder, module);
    if (wchar_t* slash = wcsrchr(folder, L'\\')) *slash = L'\0';
    if (scope == Scope::user) {
        Entry entries[kMaxTypeLibEntries];
        int count = 0;
        hr = TypeLibEntries(module, folder, entries, &count);
        return SUCCEEDED(hr) ? WriteEntries(root, entries, count) : hr;
    }
    ITypeLib* library = nullptr;
    hr = LoadTypeLibEx(module, REGKIND_NONE, &library);
    if (FAILED(hr)) return hr;
    hr = RegisterTypeLib(library, module, folder);
    library->Release();
    return hr;
}

HRESULT Unregister(HKEY root, Scope scope) {
    wchar_t module[kPathChars];
    HRESULT hr = ModulePath(module);
    if (FAILED(hr)) return hr;
    for (int i = 0; i < kClassCount && SUCCEEDED(hr); ++i) {
        Entry entries[kClassEntries];
        ClassEntries(ClassTable()[i], L"", L"", entries);
        hr = RemoveEntries(root, entries, kClassEntries);
    }
    if (SUCCEEDED(hr) && scope == Scope::machine) hr = UnregisterTypeLibrary(module);
    if (SUCCEEDED(hr) && scope == Scope::user) {
        // The entries both builds share go with the last build's path.
        Entry entries[kMaxTypeLibEntries];
        int count = 0;
        hr = TypeLibEntries(module, L"", entries, &count);
        if (SUCCEEDED(hr)) hr = RemoveEntries(root, entries + kSharedLibraryEntries, count - kSharedLibraryEntries);
        if (SUCCEEDED(hr) && !KeyExists(root, entries[kSharedLibraryEntries].key))
            hr = RemoveEntries(root, entries, kSharedLibraryEntries);
    }
    if (FAILED(hr)) return hr;
    wchar_t appId[40];
    Braced(LIBID_CorvaneMatrix30, appId);
    return UnregisterScript(root, appId);
}

}  // namespace
}  // namespace corvane::server

using namespace corvane::server;

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() { return Register(HKEY_CLASSES_ROOT, Scope::machine); }

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() { return Unregister(HKEY_CLASSES_ROOT, Scope::machine); }

// regsvr32 /n /i:user registers for the current user, regsvr32 /u /n /i:user
// removes that again; any other command line is refused.
extern "C" HRESULT STDAPICALLTYPE DllInstall(BOOL install, PCWSTR commandLine) {
    if (commandLine == nullptr || CompareStringOrdinal(commandLine, -1, L"user", -1, TRUE) != CSTR_EQUAL)
        return E_INVALIDARG;
    constexpr wchar_t kUserClasses[] = L"Software\\Classes";
    HKEY root = nullptr;
    const LONG status = install ? RegCreateKeyExW(HKEY_CURRENT_USER, kUserClasses, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                  nullptr, &root, nullptr)
                                : RegOpenKeyExW(HKEY_CURRENT_USER, kUserClasses, 0, KEY_ALL_ACCESS, &root);
    if (!install && status == ERROR_FILE_NOT_FOUND) return S_OK;  // nothing was registered
    if (status != ERROR_SUCCESS) return FromWin32(status);
    const HRESULT hr = install ? Register(root, Scope::user) : Unregister(root, Scope::user);
    RegCloseKey(root);
    return hr;
}
