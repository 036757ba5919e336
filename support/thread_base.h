// The support library's component base and its named thread base.
#pragma once

#include "platform/rtl/classes.h"
#include "platform/rtl/threads.h"

// A component that adds nothing to TComponent at run time.
class TJvComponent : public TComponent {
  RTL_CLASS(TJvComponent, TComponent)

 public:
  using TComponent::TComponent;
};

// A thread that carries a display name. Naming it tells the system, which
// shows the name to debuggers and process tools (cut to the system's limit
// of 15 bytes, at a character boundary).
class TJvCustomThread : public TThread {
  RTL_CLASS(TJvCustomThread, TThread)
  AnsiString FThreadName;

 public:
  using TThread::TThread;

  // The class name without a name; else "name {class name}".
  virtual AnsiString GetNameForDebugging() const;
  virtual void SetThreadName(const AnsiString& Name);
  // Names the thread AThreadID (0xFFFFFFFF: the calling thread). Without
  // a debugger nothing visible happens; nothing is raised either way.
  virtual void NameThreadForDebugging(const AnsiString& AThreadName, Cardinal AThreadID = 0xFFFFFFFF);

  const AnsiString& ThreadName() const { return FThreadName; }
};
