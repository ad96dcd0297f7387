#pragma once

// Every status the phone service and its back ends return of their own, in
// one table so that no two causes share a code. The generic ones (S_OK,
// E_FAIL, E_ABORT, E_INVALIDARG) come from the platform stand-in.

#include "Com.h"

namespace mailvane::phone {

// The service: a message whose phone value is not the current connection's.
inline constexpr platform::HRESULT E_STALE_PHONE_VALUE = static_cast<platform::HRESULT>(0x80040201);
// The service: a message it cannot put on the air as described.
inline constexpr platform::HRESULT E_UNSUPPORTED_MESSAGE =
    static_cast<platform::HRESULT>(0x80040202);

// The simulated phone: a message it was told to refuse.
inline constexpr platform::HRESULT E_SIMULATED_REFUSAL = static_cast<platform::HRESULT>(0x80040210);
// The simulated phone: a message that could not be written to the outbox.
inline constexpr platform::HRESULT E_OUTBOX_WRITE = static_cast<platform::HRESULT>(0x80040211);

// A phone call that overran its bound.
inline constexpr platform::HRESULT E_PHONE_TIMEOUT = static_cast<platform::HRESULT>(0x80040220);
// No connection to the phone when a message was handed in (also what a
// machine without a phone answers).
inline constexpr platform::HRESULT E_PHONE_NOT_CONNECTED =
    static_cast<platform::HRESULT>(0x80040221);

// The Kannel gateway: a message it answered without accepting it.
inline constexpr platform::HRESULT E_GATEWAY_REFUSED = static_cast<platform::HRESULT>(0x80040230);
// The Kannel gateway: a message that could not be handed to it (down,
// unreachable, refusing connections).
inline constexpr platform::HRESULT E_GATEWAY_UNREACHABLE =
    static_cast<platform::HRESULT>(0x80040231);
// The Kannel gateway: a message it took the connection for but gave no answer
// to within the time limit; it may still have sent it.
inline constexpr platform::HRESULT E_GATEWAY_TIMEOUT = static_cast<platform::HRESULT>(0x80040232);

// A contacts store holding more than MaxPhoneContacts entries, left unread.
inline constexpr platform::HRESULT E_TOO_MANY_CONTACTS = static_cast<platform::HRESULT>(0x80040240);

// libgammu's error code `error` reported as a refusal: 0x80041000 + its low 12 bits.
constexpr platform::HRESULT gammuStatus(int error)
{
    return static_cast<platform::HRESULT>(0x80041000u | (static_cast<unsigned>(error) & 0xFFFu));
}

} // namespace mailvane::phone
