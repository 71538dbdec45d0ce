// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/ProgramStart.h"

int main(int argc, char** argv) { return qurvex::RunProgram(argc, argv); }
