#pragma once

#include <QtGlobal>

//! Record ids of the BIFF8 records this writer uses.
namespace BiffId {
constexpr quint16 Bof = 0x0809;
constexpr quint16 Eof = 0x000A;
constexpr quint16 CodePage = 0x0042;
constexpr quint16 Window1 = 0x003D;
constexpr quint16 DateMode = 0x0022;
constexpr quint16 Precision = 0x000E;
constexpr quint16 Font = 0x0031;
constexpr quint16 Format = 0x041E;
constexpr quint16 Xf = 0x00E0;
constexpr quint16 Style = 0x0293;
constexpr quint16 BoundSheet = 0x0085;
constexpr quint16 Sst = 0x00FC;
constexpr quint16 Continue = 0x003C;
constexpr quint16 ExtSst = 0x00FF;
constexpr quint16 ColInfo = 0x007D;
constexpr quint16 Dimensions = 0x0200;
constexpr quint16 Number = 0x0203;
constexpr quint16 LabelSst = 0x00FD;
constexpr quint16 Window2 = 0x023E;
} // namespace BiffId
