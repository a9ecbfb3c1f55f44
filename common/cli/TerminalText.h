// Text from an image on a terminal. Names and texts on a disk may hold any byte; written raw, an
// ESC or a CSI starts a command of the terminal (a new window title, a cleared screen, a
// different colour for everything after), and a CR or an LF makes a name look like another or
// like two lines. The command line shows such bytes as "\x1B": every C0 control character but
// TAB, DEL, and the C1 controls as UTF-8 encodes them (C2 80 to C2 9F). Other bytes, UTF-8
// letters and the single bytes of older character sets, pass as they are.
#pragma once

#include <string>
#include <string_view>

// Whether b is shown escaped wherever it appears (CR and LF are not: they may be line ends).
inline bool IsEscapedControl(unsigned char b) {
    return (b < 0x20 && b != '\t' && b != '\r' && b != '\n') || b == 0x7F;
}

// Appends "\xHH" for b.
void AppendEscapedByte(std::string& out, unsigned char b);

// One message line: each line break (CR LF, as every message makes them) written as " / ", and
// every control character escaped, a lone CR or LF among them (it belongs to a name).
std::string TerminalLine(std::string_view text);
