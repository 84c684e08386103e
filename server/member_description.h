// What the dispatcher knows of one member of a dual interface, read from the
// interface's slot description in the type library: where its slot is, and how
// each parameter and its result pass through that slot.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace corvane::server {

// Members take at most this many parameters, the result included (LU: four).
inline constexpr int kMaxParams = 8;

// How a parameter reaches the slot.
enum class ParamKind : unsigned char {
    Long,       // long or enumeration, by value
    Short,      // short, by value
    Double,     // double, by value
    String,     // BSTR, by value
    Object,     // reference to an interface pointer of `type`
    Record,     // pointer to a record of `type`, `size` bytes
    Array,      // reference to a SAFEARRAY
    Variant,    // VARIANT*: read, or written when `out`
    LongOut,    // long*, written
    DoubleOut,  // double*, written
};

// How the result (the final [out, retval] parameter) comes back.
enum class ResultKind : unsigned char { None, Long, Double, Bool, String, Array, Object, Record };

struct ParamDescription {
    ParamKind kind = ParamKind::Long;
    bool out = false;
    bool optional = false;
    VARIANT fallback{};          // the default of an omitted parameter; VT_EMPTY when none
    GUID type{};                 // Object: the interface; Record: the record type
    ULONG size = 0;              // Record: its bytes
    VARTYPE element = VT_EMPTY;  // Array: its element type
};

class MemberDescription {
public:
    MemberDescription() = default;
    ~MemberDescription();
    MemberDescription(const MemberDescription&) = delete;
    MemberDescription& operator=(const MemberDescription&) = delete;

    // Reads the member `desc` of the interface `slots` describes:
    // DISP_E_BADVARTYPE for a parameter the dispatcher cannot pass.
    HRESULT Describe(ITypeInfo* slots, const FUNCDESC& desc);

    bool IsPut() const { return invoke_ == INVOKE_PROPERTYPUT || invoke_ == INVOKE_PROPERTYPUTREF; }
    int ParamCount() const { return count_; }
    const ParamDescription& Param(int p) const { return params_[p]; }
    ResultKind Result() const { return result_; }
    // The record type of a Record result (no reference added).
    ITypeInfo* ResultRecord() const { return resultRecord_; }
    // The byte offset of the member's slot in the interface's table.
    SHORT SlotOffset() const { return slot_; }

private:
    INVOKEKIND invoke_ = INVOKE_FUNC;
    SHORT slot_ = 0;
    int count_ = 0;
    ParamDescription params_[kMaxParams];
    ResultKind result_ = ResultKind::None;
    ITypeInfo* resultRecord_ = nullptr;
};

}  // namespace corvane::server
