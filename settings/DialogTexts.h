// The settings dialog's own texts, as Shift-JIS (code page 932) bytes. They
// are shown through the Unicode window functions after conversion, so they
// read correctly whatever the system code page is.
#pragma once

namespace pallowin::dialog_texts {

inline constexpr char Caption[] = "Pallowin.spi " "\x90\xdd\x92\xe8";                  // settings
inline constexpr char FontName[] = "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";
inline constexpr char DisplayPage[] = "\x95\x5c\x8e\xa6";                              // display
inline constexpr char ColorPage[] = "\x90\xfc\x90\x46";                                // line colours
inline constexpr char ScaleGroup[] = "\x95\x5c\x8e\xa6\x94\x7b\x97\xa6";               // display scale
inline constexpr char DrawingImage[] = "\x90\x7d\x96\xca\x83\x43\x83\x81\x81\x5b\x83\x57";
inline constexpr char FigureImage[] = "\x90\x7d\x8c\x60\x83\x43\x83\x81\x81\x5b\x83\x57";
inline constexpr char Width[] = "\x89\xa1";                                            // width
inline constexpr char ByHeight[] = "X " "\x8f\x63";                                    // by height
inline constexpr char PaperRatio[] = "\x97\x70\x8e\x86\x94\xe4\x97\xa6\x81\x42";
inline constexpr char Defaults[] = "\xc3\xde\xcc\xab\xd9\xc4";                          // half-width katakana
inline constexpr char HonourLayers[] =
    "\x95\x5c\x8e\xa6\x83\x8c\x83\x43\x83\x84\x81\x5b\x82\xf0\x8d\x6c\x97\xb6\x82\xb7\x82\xe9\x81\x42";
inline constexpr char LeaveOutBak[] =
    "\x83\x4a\x83\x5e\x83\x8d\x83\x4f\x82\xc9" " *.BAK "
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x8a\xdc\x82\xdf\x82\xc8\x82\xa2\x81\x42";
inline constexpr char Ok[] = "OK";
inline constexpr char Cancel[] = "\xb7\xac\xdd\xbe\xd9";                                // half-width katakana
inline constexpr char ColorGroup[] = "\x90\x46";                                       // colour
inline constexpr char Change[] = "\x95\xcf\x8d\x58";                                   // change
inline constexpr char Background[] = "\x94\x77\x8c\x69";
inline constexpr char Line1[] = "\x90\xfc\x90\x46\x82\x50";                            // full-width digits
inline constexpr char Line2[] = "\x90\xfc\x90\x46\x82\x51";
inline constexpr char Line3[] = "\x90\xfc\x90\x46\x82\x52";
inline constexpr char Line4[] = "\x90\xfc\x90\x46\x82\x53";
inline constexpr char Line5[] = "\x90\xfc\x90\x46\x82\x54";
inline constexpr char Line6[] = "\x90\xfc\x90\x46\x82\x55";
inline constexpr char TextColor[] = "\x95\xb6\x8e\x9a\x90\x46";
inline constexpr char InvalidNumber[] = "\x96\xb3\x8c\xf8\x82\xc8\x90\x94\x92\x6c\x82\xc5\x82\xb7\x81\x42";
// %s stands for the text that does not convert.
inline constexpr char NotAnInteger[] =
    "'%s' " "\x82\xcd\x90\xae\x90\x94\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
// The title of both message boxes.
inline constexpr char MessageTitle[] = "Pallowin.spi";

}  // namespace pallowin::dialog_texts
