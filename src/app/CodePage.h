// Every text of the program is a code page 932 byte string. Under another
// active code page (another system locale, or the system-wide UTF-8 option)
// paths arrive in another encoding, the lead-byte rules cut them apart at a
// '\', and every text shows as garbage.
#pragma once

// 0 under code page 932. Otherwise says so once, in English and Japanese
// through the wide message box (readable whatever the code page), and
// answers the exit code to end with.
int CheckCodePage();
