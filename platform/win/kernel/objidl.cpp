// TStreamAdapter: IStream calls mapped onto a TStream.
#include "platform/win/kernel/objidl.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <vector>

TStreamAdapter::TStreamAdapter(TStream* Stream, TStreamOwnership Ownership) : FStream(Stream), FOwnership(Ownership) {}

TStreamAdapter::~TStreamAdapter() {
  if (FOwnership == soOwned) delete FStream;
}

HRESULT TStreamAdapter::QueryInterface(REFIID riid, void** ppvObject) {
  if (!ppvObject) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_ISequentialStream || riid == IID_IStream) {
    *ppvObject = static_cast<IStream*>(this);
    AddRef();
    return S_OK;
  }
  *ppvObject = nullptr;
  return E_NOINTERFACE;
}

ULONG TStreamAdapter::AddRef() { return ++FRefCount; }

ULONG TStreamAdapter::Release() {
  ULONG n = --FRefCount;
  if (n == 0) delete this;
  return n;
}

HRESULT TStreamAdapter::Read(void* pv, ULONG cb, ULONG* pcbRead) {
  if (pcbRead) *pcbRead = 0;
  if (!pv) return STG_E_INVALIDPOINTER;
  try {
    // TStream counts in Integer; larger requests go in pieces.
    ULONG done = 0;
    while (done < cb) {
      Integer part = static_cast<Integer>(std::min<ULONG>(cb - done, 0x40000000u));
      Integer n = FStream->Read(static_cast<char*>(pv) + done, part);
      if (n <= 0) break;
      done += static_cast<ULONG>(n);
    }
    if (pcbRead) *pcbRead = done;
    return S_OK;
  } catch (const std::exception&) {
    return S_FALSE;
  }
}

HRESULT TStreamAdapter::Write(const void* pv, ULONG cb, ULONG* pcbWritten) {
  if (pcbWritten) *pcbWritten = 0;
  if (!pv) return STG_E_INVALIDPOINTER;
  try {
    ULONG done = 0;
    while (done < cb) {
      Integer part = static_cast<Integer>(std::min<ULONG>(cb - done, 0x40000000u));
      Integer n = FStream->Write(static_cast<const char*>(pv) + done, part);
      if (n <= 0) break;
      done += static_cast<ULONG>(n);
    }
    if (pcbWritten) *pcbWritten = done;
    return done == cb ? S_OK : STG_E_CANTSAVE;
  } catch (const std::exception&) {
    return STG_E_CANTSAVE;
  }
}

HRESULT TStreamAdapter::Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) {
  if (dwOrigin > STREAM_SEEK_END) return STG_E_INVALIDFUNCTION;
  try {
    Int64 pos = FStream->Seek(dlibMove.QuadPart, static_cast<TSeekOrigin>(dwOrigin));
    if (pos < 0) return STG_E_INVALIDFUNCTION;
    if (plibNewPosition) plibNewPosition->QuadPart = static_cast<ULONGLONG>(pos);
    return S_OK;
  } catch (const std::exception&) {
    return STG_E_INVALIDPOINTER;
  }
}

HRESULT TStreamAdapter::SetSize(ULARGE_INTEGER libNewSize) {
  try {
    Int64 size = static_cast<Int64>(libNewSize.QuadPart);
    FStream->SetStreamSize(size);
    return FStream->Size() == size ? S_OK : E_FAIL;
  } catch (const std::exception&) {
    return E_UNEXPECTED;
  }
}

HRESULT TStreamAdapter::CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                               ULARGE_INTEGER* pcbWritten) {
  if (pcbRead) pcbRead->QuadPart = 0;
  if (pcbWritten) pcbWritten->QuadPart = 0;
  if (!pstm) return STG_E_INVALIDPOINTER;
  std::vector<char> buffer(64 * 1024);
  ULONGLONG left = cb.QuadPart, read = 0, written = 0;
  HRESULT result = S_OK;
  while (left > 0) {
    ULONG want = static_cast<ULONG>(std::min<ULONGLONG>(left, buffer.size()));
    ULONG got = 0;
    result = Read(buffer.data(), want, &got);
    if (FAILED(result) || got == 0) break;
    read += got;
    ULONG put = 0;
    result = pstm->Write(buffer.data(), got, &put);
    written += put;
    if (FAILED(result) || put != got) {
      if (SUCCEEDED(result)) result = STG_E_MEDIUMFULL;
      break;
    }
    left -= got;
  }
  if (pcbRead) pcbRead->QuadPart = read;
  if (pcbWritten) pcbWritten->QuadPart = written;
  return FAILED(result) ? result : S_OK;
}

HRESULT TStreamAdapter::Commit(DWORD) { return S_OK; }

HRESULT TStreamAdapter::Revert() { return STG_E_REVERTED; }

HRESULT TStreamAdapter::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }

HRESULT TStreamAdapter::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }

HRESULT TStreamAdapter::Stat(STATSTG* pstatstg, DWORD) {
  if (!pstatstg) return STG_E_INVALIDPOINTER;
  std::memset(static_cast<void*>(pstatstg), 0, sizeof(STATSTG));
  try {
    pstatstg->type = STGTY_STREAM;
    pstatstg->cbSize.QuadPart = static_cast<ULONGLONG>(FStream->Size());
    pstatstg->grfLocksSupported = LOCK_WRITE;
    return S_OK;
  } catch (const std::exception&) {
    return E_UNEXPECTED;
  }
}

HRESULT TStreamAdapter::Clone(IStream** ppstm) {
  if (ppstm) *ppstm = nullptr;
  return E_NOTIMPL;
}
