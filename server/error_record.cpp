#include "server/error_record.h"

#include "server/module_state.h"

namespace corvane::server {

HRESULT ReportFailure(REFCLSID reporter, const wchar_t* description, DWORD helpContext, const wchar_t* helpFile,
                      REFGUID guid, HRESULT code, HINSTANCE module) {
    wchar_t text[1024];
    const wchar_t* shown = description;
    const auto number = reinterpret_cast<ULONG_PTR>(description);
    if ((number >> 16) == 0) {
        char ansi[1024];
        if (LoadStringA(module, static_cast<UINT>(number), ansi, sizeof ansi) <= 0) lstrcpyA(ansi, "Unknown Error");
        if (MultiByteToWideChar(CP_THREAD_ACP, 0, ansi, -1, text, 1024) == 0) text[0] = L'\0';
        shown = text;
        if (code == 0) code = static_cast<HRESULT>(0x80040000u + static_cast<ULONG>(number));
    }
    ICreateErrorInfo* builder = nullptr;
    if (SUCCEEDED(CreateErrorInfo(&builder))) {
        builder->SetGUID(guid);
        LPOLESTR progId = nullptr;
        if (SUCCEEDED(ProgIDFromCLSID(reporter, &progId)) && progId != nullptr) {
            builder->SetSource(progId);
            CoTaskMemFree(progId);
        }
        if (helpContext != 0 && helpFile != nullptr) {
            builder->SetHelpContext(helpContext);
            builder->SetHelpFile(const_cast<LPOLESTR>(helpFile));
        }
        builder->SetDescription(const_cast<LPOLESTR>(shown));
        IErrorInfo* record = nullptr;
        if (SUCCEEDED(builder->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&record)))) {
            SetErrorInfo(0, record);
            record->Release();
        }
        builder->Release();
    }
    return code == 0 ? DISP_E_EXCEPTION : code;
}

HRESULT ReportMessage(REFCLSID reporter, std::int32_t message) {
    return ReportFailure(reporter, reinterpret_cast<const wchar_t*>(static_cast<ULONG_PTR>(message)),
                         static_cast<DWORD>(message), kHelpFile, reporter, 0, ModuleHandle());
}

void ClearErrorRecord() { SetErrorInfo(0, nullptr); }

HRESULT Unreported(HRESULT hr) {
    if (FAILED(hr) && HRESULT_FACILITY(hr) != FACILITY_ITF) ClearErrorRecord();
    return hr;
}

HRESULT ToResult(REFCLSID reporter, Status status) {
    if (status.ok()) return S_OK;
    if (status.message() > 0) return ReportMessage(reporter, status.message());
    return Unreported(static_cast<HRESULT>(status.code()));
}

}  // namespace corvane::server
