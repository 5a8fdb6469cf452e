// The single instance of the program on Win32: a named mutex tells a second start,
// which broadcasts the registered message with its thread id; the running main
// window answers with a thread message carrying its handle, and the second start
// sends it the packed command line in WM_COPYDATA.
#pragma once

#include "app/main/OneInst.h"

#include <windows.h>

#include <string>
#include <vector>

// The registered single-instance message; 0 until ProcessSingleInstanceInit.
UINT SingleInstanceMessage();

// Registers the message and runs EnsureSingleInstance with the program arguments
// (1..ParamCount). False for a second start: it has handed Args over (or waited in
// vain) and must end with kSecondInstanceExitCode.
bool ProcessSingleInstanceInit(const std::vector<std::string>& Args);
// Releases the mutex of the first instance.
void ProcessSingleInstanceDone();

// Creates the mutex; when it already exists, forwards Args and returns false.
bool EnsureSingleInstance(const std::vector<std::string>& Args);
// Asks the running instance for its main window (up to kForwardTimeoutMs) and sends
// it Args in WM_COPYDATA (waiting for it as long again at most); without an
// answer nothing is sent.
void ForwardToFirstInstance(const std::vector<std::string>& Args);

// The running instance's side: answers the broadcast of a second start (Msg is the
// registered message, W its thread id) with the main window's handle. True when
// Msg was the registered message.
bool AnswerSecondInstance(HWND MainWindow, UINT Msg, WPARAM W);
// The packed command line of a WM_COPYDATA from a second start, or null when the
// data is no such block.
const COPYDATASTRUCT* SecondInstanceData(LPARAM L);
