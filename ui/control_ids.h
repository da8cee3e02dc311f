// Resource and control identifiers of the windows and dialogs.
#pragma once

namespace fp {

namespace dlg {
inline constexpr int MAIN = 1000;
inline constexpr int BLOCKS = 1029;  // "Выбор блоков" (i28F001BX erase and blank check)
inline constexpr int ERASE_BLOCK = 1040;  // "Выбор блока для операции" (AT49F erase)
inline constexpr int JEDEC_ID = 1045;      // "ID"
inline constexpr int ATTINY_FUSES = 1054;  // "ATTINY2313"
inline constexpr int ICON = 30;
}  // namespace dlg

namespace ctl {
// Common dialog buttons.
inline constexpr int OK_BUTTON = 1;
inline constexpr int CANCEL_BUTTON = 2;

// Main window.
inline constexpr int FILE_BUTTON = 1;
inline constexpr int EXIT_BUTTON = 2;
inline constexpr int IMAGE_PATH = 1001;
inline constexpr int WRITE = 1005;
inline constexpr int READ = 1006;
inline constexpr int EXTRA_PARAMETERS = 1007;
inline constexpr int COMPARE = 1008;
inline constexpr int BLANK_CHECK = 1009;
inline constexpr int FILE_OFFSET = 1010;
inline constexpr int FILE_OFFSET_LABEL = 1011;
inline constexpr int ROM_OFFSET = 1012;
inline constexpr int ROM_OFFSET_LABEL = 1013;
inline constexpr int BLOCK_LENGTH = 1014;
inline constexpr int BLOCK_LENGTH_LABEL = 1016;
inline constexpr int CHIP_LIST = 1018;
inline constexpr int CALIBRATE = 1021;
inline constexpr int CHIP_LIST_LABEL = 1025;
inline constexpr int STATUS_BAR = 1026;
inline constexpr int IDENTIFY = 1027;
inline constexpr int ERASE = 1028;

// "Выбор блоков".
inline constexpr int BLOCK_0 = 1030;
inline constexpr int BLOCK_1 = 1034;
inline constexpr int BLOCK_2 = 1035;
inline constexpr int BLOCK_3 = 1036;
inline constexpr int BLOCK_HIDDEN = 1039;
inline constexpr int BLOCK_CHIP_NAME = 1038;

// "Выбор блока для операции".
inline constexpr int WHOLE_CHIP = 1041;
inline constexpr int ONE_BLOCK = 1042;
inline constexpr int BLOCK_ADDRESS = 1014;
inline constexpr int BLOCK_ADDRESS_UNIT = 1044;

// "ID".
inline constexpr int SDP_ON = 1049;
inline constexpr int SDP_OFF = 1050;
inline constexpr int MANUFACTURER_LABEL = 1052;
inline constexpr int MANUFACTURER_CODE = 1047;
inline constexpr int DEVICE_LABEL = 1053;
inline constexpr int DEVICE_CODE = 1048;

// "ATTINY2313".
inline constexpr int FUSE_LOW_BIT0 = 1070;
inline constexpr int FUSE_HIGH_BIT0 = 1080;
inline constexpr int FUSE_EXTENDED_BIT0 = 1090;
inline constexpr int LOCK_BIT0 = 1060;
inline constexpr int WRITE_FUSES = 1068;
inline constexpr int WRITE_LOCK = 1069;
inline constexpr int SIGNATURE = 1078;
inline constexpr int CALIBRATION_BYTE = 1079;
inline constexpr int FUSES_GROUP = 1088;
inline constexpr int LOCK_GROUP = 1089;
inline constexpr int INFO_GROUP = 1098;
}  // namespace ctl

}  // namespace fp
