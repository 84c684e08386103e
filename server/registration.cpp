// DllRegisterServer and DllUnregisterServer: the AppID entries of the
// REGISTRY 101 script, the entries of every class, and the type library.
#include <windows.h>
#include <ole2.h>

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

// Creates key `path` under HKEY_CLASSES_ROOT and sets a string value (the
// default value when name is null; nothing when value is null).
HRESULT SetEntry(const wchar_t* path, const wchar_t* name, const wchar_t* value) {
    HKEY key = nullptr;
    LONG status = RegCreateKeyExW(HKEY_CLASSES_ROOT, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) return FromWin32(status);
    if (value != nullptr) {
        const auto bytes = static_cast<DWORD>((lstrlenW(value) + 1) * sizeof(wchar_t));
        status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), bytes);
    }
    RegCloseKey(key);
    return FromWin32(status);
}

// Deletes a key with everything beneath it; a missing key is no failure.
HRESULT DeleteTree(const wchar_t* path) {
    const LONG status = RegDeleteTreeW(HKEY_CLASSES_ROOT, path);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return FromWin32(status);
    const LONG removed = RegDeleteKeyW(HKEY_CLASSES_ROOT, path);
    return removed == ERROR_FILE_NOT_FOUND ? S_OK : FromWin32(removed);
}

// Deletes a key when nothing is left in it, neither a subkey nor a value: a
// key that holds what another program put there stays.
HRESULT DeleteIfEmpty(const wchar_t* path) {
    HKEY key = nullptr;
    LONG status = RegOpenKeyExW(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &key);
    if (status == ERROR_FILE_NOT_FOUND) return S_OK;
    if (status != ERROR_SUCCESS) return FromWin32(status);
    DWORD subkeys = 0, values = 0;
    status = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                              nullptr, nullptr);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return FromWin32(status);
    if (subkeys != 0 || values != 0) return S_OK;
    status = RegDeleteKeyW(HKEY_CLASSES_ROOT, path);
    return status == ERROR_FILE_NOT_FOUND ? S_OK : FromWin32(status);
}

// Deletes one value (the default value when name is null); a missing key or
// value is no failure.
HRESULT DeleteValue(const wchar_t* path, const wchar_t* name) {
    HKEY key = nullptr;
    LONG status = RegOpenKeyExW(HKEY_CLASSES_ROOT, path, 0, KEY_SET_VALUE, &key);
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

HRESULT RegisterScript(const wchar_t* appId) {
    ScriptEntry entries[kMaxScriptEntries];
    const int count = ReadScript(entries, kMaxScriptEntries, appId);
    if (count == 0) return HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND);
    for (int i = 0; i < count; ++i) {
        const HRESULT hr = SetEntry(entries[i].key, entries[i].name[0] ? entries[i].name : nullptr, entries[i].data);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

// The values written first, then each key left empty, up to but not
// including the top-level key shared by every component (AppID).
HRESULT UnregisterScript(const wchar_t* appId) {
    ScriptEntry entries[kMaxScriptEntries];
    const int count = ReadScript(entries, kMaxScriptEntries, appId);
    if (count == 0) return HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND);
    for (int i = 0; i < count; ++i) {
        const HRESULT hr = DeleteValue(entries[i].key, entries[i].name[0] ? entries[i].name : nullptr);
        if (FAILED(hr)) return hr;
    }
    for (int i = count - 1; i >= 0; --i) {
        wchar_t key[256];
        lstrcpyW(key, entries[i].key);
        for (wchar_t* slash = wcsrchr(key, L'\\'); slash != nullptr; slash = wcsrchr(key, L'\\')) {
            const HRESULT hr = DeleteIfEmpty(key);
            if (FAILED(hr)) return hr;
            *slash = L'\0';
        }
    }
    return S_OK;
}

// One registry entry of a class: a value under a key (the default value when
// name is null; a key without a value when value is null). A fresh key is
// deleted with everything beneath it before it is written.
struct Entry {
    Path key;
    const wchar_t* name;
    const wchar_t* value;
    bool fresh;
};

constexpr int kClassEntries = 13;

// The entries of one class in the order they are written.
void ClassEntries(const ClassEntry& row, const wchar_t* clsid, const wchar_t* module, const wchar_t* appId,
                  const wchar_t* libId, Entry (&out)[kClassEntries]) {
    const Path classKey(L"CLSID\\", clsid);
    const Entry entries[kClassEntries] = {
        {Path(row.progId), nullptr, row.friendlyName, false},
        {Path(row.progId, L"\\CLSID"), nullptr, clsid, false},
        {Path(row.versionIndependentProgId), nullptr, row.friendlyName, false},
        {Path(row.versionIndependentProgId, L"\\CLSID"), nullptr, clsid, false},
        {Path(row.versionIndependentProgId, L"\\CurVer"), nullptr, row.progId, false},
        {classKey, nullptr, row.friendlyName, true},
        {classKey, L"AppID", appId, false},
        {Path(classKey, L"\\ProgID"), nullptr, row.progId, false},
        {Path(classKey, L"\\VersionIndependentProgID"), nullptr, row.versionIndependentProgId, false},
        {Path(classKey, L"\\Programmable"), nullptr, nullptr, true},
        {Path(classKey, L"\\InprocServer32"), nullptr, module, false},
        {Path(classKey, L"\\InprocServer32"), L"ThreadingModel", L"apartment", false},
        {Path(classKey, L"\\TypeLib"), nullptr, libId, false},
    };
    for (int i = 0; i < kClassEntries; ++i) out[i] = entries[i];
}

HRESULT RegisterClassEntries(const ClassEntry& row, const wchar_t* module, const wchar_t* appId, const wchar_t* libId) {
    wchar_t clsid[40];
    Braced(*row.clsid, clsid);
    Entry entries[kClassEntries];
    ClassEntries(row, clsid, module, appId, libId, entries);
    for (const Entry& e : entries) {
        HRESULT hr = e.fresh ? DeleteTree(e.key) : S_OK;
        if (SUCCEEDED(hr)) hr = SetEntry(e.key, e.name, e.value);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

// In reverse order: each value written is deleted, then its key if nothing is
// left in it. Values and subkeys of other programs stay, and their keys with
// them; what is already gone is no failure, so this can run any number of
// times.
HRESULT UnregisterClassEntries(const ClassEntry& row) {
    wchar_t clsid[40];
    Braced(*row.clsid, clsid);
    Entry entries[kClassEntries];
    ClassEntries(row, clsid, L"", L"", L"", entries);
    for (int i = kClassEntries - 1; i >= 0; --i) {
        HRESULT hr = entries[i].value != nullptr ? DeleteValue(entries[i].key, entries[i].name) : S_OK;
        if (SUCCEEDED(hr)) hr = DeleteIfEmpty(entries[i].key);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

// Unregisters the type library when it is registered; nothing to do is no
// failure.
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

}  // namespace
}  // namespace corvane::server

using namespace corvane::server;

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    wchar_t module[kPathChars];
    HRESULT hr = ModulePath(module);
    if (FAILED(hr)) return hr;
    wchar_t appId[40];
    Braced(LIBID_CorvaneMatrix30, appId);
    hr = RegisterScript(appId);
    for (int i = 0; i < kClassCount && SUCCEEDED(hr); ++i)
        hr = RegisterClassEntries(ClassTable()[i], module, appId, appId);
    if (FAILED(hr)) return hr;
    // The type library, with the library's folder as help directory.
    ITypeLib* library = nullptr;
    hr = LoadTypeLibEx(module, REGKIND_NONE, &library);
    if (FAILED(hr)) return hr;
    wchar_t folder[kPathChars];
    lstrcpyW(folder, module);
    if (wchar_t* slash = wcsrchr(folder, L'\\')) *slash = L'\0';
    hr = RegisterTypeLib(library, module, folder);
    library->Release();
    return hr;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    wchar_t module[kPathChars];
    HRESULT hr = ModulePath(module);
    if (FAILED(hr)) return hr;
    for (int i = 0; i < kClassCount && SUCCEEDED(hr); ++i) hr = UnregisterClassEntries(ClassTable()[i]);
    if (SUCCEEDED(hr)) hr = UnregisterTypeLibrary(module);
    if (FAILED(hr)) return hr;
    wchar_t appId[40];
    Braced(LIBID_CorvaneMatrix30, appId);
    return UnregisterScript(appId);
}
