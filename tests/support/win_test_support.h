// Helpers for the tests that run under Wine: COM apartments, the DLL under
// test, script clients.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <functional>
#include <string>

namespace hg::test {

// The folder of the running test program, where the build puts tkShared.dll
// and the scripts the tests run.
std::wstring ProgramFolder();
std::wstring TkSharedPath();

// A single-threaded apartment for the life of the object.
class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  HRESULT result() const { return result_; }

 private:
  HRESULT result_;
};

// Runs a VBScript or JScript file beside the test program with cscript,
// after the prelude of its language (prelude.vbs, prelude.js: Check, Done and
// the other helpers every script client shares), and expects its last line to
// be PASS (the prelude's Done): cscript under Wine exits 0 even when the
// script fails.
void ExpectScriptPasses(const std::wstring& fileName);

// The system's message texts differ between Windows and Wine: checks their
// form, one line ended by one blank.
void ExpectSystemMessageForm(const std::wstring& text);

// An environment variable of this process ("" when it is not set), and one
// set (taken away, when empty) for the life of an object.
std::wstring Environment(const wchar_t* name);
class ScopedEnvironment {
 public:
  ScopedEnvironment(std::wstring name, const std::wstring& value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::wstring name_;
  std::wstring old_;
};

// Answers the next dialog this thread shows: a thread timer, which the
// dialog's own modal loop runs, finds the visible dialog among this thread's windows
// (never another test's) and hands it to `answer`, which must close it. With
// a caption, only a dialog of that caption counts (one opened from another).
void AnswerNextDialog(std::function<void(HWND dialog)> answer, std::wstring caption = {});

std::wstring WindowText(HWND window);

// Presses a dialog's button as a click on it would (posted: the dialog's own
// modal loop delivers it).
void PressButton(HWND dialog, int button);

// Runs work on a thread of its own whose stack is 64 KB, where a walk that
// took a kilobyte of stack per level of a tree would overflow within a few
// dozen levels. False when the work did not finish (the thread died).
bool RunOnSmallStack(const std::function<void()>& work);

// What a failed COM call left: its HRESULT and the thread's error information.
struct ComFailure {
  HRESULT hr;
  std::wstring description;
  std::wstring source;
};
ComFailure LastFailure(HRESULT hr);

}  // namespace hg::test
