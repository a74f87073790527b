// Events: the connection point of a class's outgoing dispinterface.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <span>
#include <utility>
#include <vector>

#include "common/win/com_win.h"

namespace tk {

// The sinks advised to one outgoing interface. It lives inside its container
// object and shares that object's reference count.
class ConnectionPoint final : public IConnectionPoint {
 public:
  ConnectionPoint(IConnectionPointContainer& container, REFIID eventIid) noexcept
      : container_(container), eventIid_(eventIid) {}
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return container_.AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return container_.Release(); }

  // IConnectionPoint
  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** result) override;

  // Calls the event on every sink, in the order they advised, synchronously.
  // args are in declaration order. Every sink is called; the result is the
  // first failure a sink returned, or S_OK.
  HRESULT Fire(DISPID id, std::span<VARIANT> args) noexcept;

 private:
  IConnectionPointContainer& container_;
  const IID eventIid_;
  std::vector<std::pair<DWORD, hg::win::com_ptr<IDispatch>>> sinks_;
  DWORD nextCookie_ = 1;
};

// Base of a class with one outgoing interface; its IUnknown is the class's
// (pass it as an Extra of DispatchObject and hand it out from QueryOther).
class EventSource : public IConnectionPointContainer {
 public:
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** result) override;
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** result) override;

 protected:
  explicit EventSource(REFIID eventIid) noexcept : point_(*this, eventIid) {}
  ~EventSource() = default;
  ConnectionPoint& Events() noexcept { return point_; }

 private:
  ConnectionPoint point_;
};

// EventSource for one fixed outgoing interface: the form to pass as an Extra
// of DispatchObject, which constructs it (a class cannot construct an
// indirect base itself).
template <const IID& EventIid>
class EventSourceOf : public EventSource {
 protected:
  EventSourceOf() noexcept : EventSource(EventIid) {}
  ~EventSourceOf() = default;
};

}  // namespace tk
