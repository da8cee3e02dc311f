#include "ui/dialog_templates.h"

#include <array>

#include "ui/control_ids.h"

namespace fp {
namespace {

using K = ControlKind;
constexpr uint32_t HEX_FIELD =
    style::RIGHT | style::UPPERCASE | style::AUTO_HSCROLL | style::SUNKEN;
constexpr uint32_t HIDDEN_HEX_FIELD = HEX_FIELD | style::HIDDEN;

constexpr std::array MAIN_CONTROLS{
    ControlTemplate{1001, K::edit, u"", 8, 9, 195, 13, style::AUTO_HSCROLL | style::SUNKEN},
    ControlTemplate{2, K::push_button, u"Выход", 208, 90, 53, 13, 0},
    ControlTemplate{1, K::default_push_button, u"Файл", 208, 9, 53, 13, 0},
    ControlTemplate{1005, K::push_button, u"Писать", 208, 42, 53, 13, 0},
    ControlTemplate{1006, K::push_button, u"Читать", 208, 26, 53, 13, 0},
    ControlTemplate{1007, K::auto_check_box, u"Дополнительные параметры", 8, 42, 117, 12, 0},
    ControlTemplate{1008, K::push_button, u"Сравнить", 208, 58, 53, 13, 0},
    ControlTemplate{1009, K::push_button, u"Чистая ПЗУ?", 208, 74, 53, 13, 0},
    ControlTemplate{1010, K::edit, u"0", 8, 58, 37, 12, HIDDEN_HEX_FIELD},
    ControlTemplate{1011, K::static_text, u"h - Смещение в файле", 47, 60, 81, 10, style::HIDDEN},
    ControlTemplate{1012, K::edit, u"0", 8, 74, 37, 12, HIDDEN_HEX_FIELD},
    ControlTemplate{1013, K::static_text, u"h - Смещение в ПЗУ", 47, 76, 81, 10, style::HIDDEN},
    ControlTemplate{1014, K::edit, u"0", 8, 90, 37, 12, HIDDEN_HEX_FIELD},
    ControlTemplate{1016, K::static_text, u"h - Длина блока", 47, 92, 81, 10, style::HIDDEN},
    ControlTemplate{1018, K::drop_down_list, u"", 8, 26, 111, 100, 0},
    ControlTemplate{1021, K::push_button, u"Калибровка", 150, 90, 53, 13, 0},
    ControlTemplate{1025, K::static_text, u"- тип", 122, 28, 21, 9, 0},
    ControlTemplate{1026, K::status_bar, u"", 0, 106, 271, 12, 0},
    ControlTemplate{1027, K::push_button, u"ID", 150, 58, 53, 13, 0},
    ControlTemplate{1028, K::push_button, u"Стереть", 150, 74, 53, 13, 0},
};

constexpr std::array BLOCK_CONTROLS{
    ControlTemplate{1030, K::auto_check_box, u"00000h", 7, 16, 54, 10, 0},
    ControlTemplate{1034, K::auto_check_box, u"1C000h", 7, 30, 54, 10, 0},
    ControlTemplate{1035, K::auto_check_box, u"1D000h", 7, 46, 54, 10, 0},
    ControlTemplate{1036, K::auto_check_box, u"1E000h", 7, 62, 54, 10, 0},
    ControlTemplate{1039, K::auto_check_box, u"1F000h", 7, 78, 54, 10, style::HIDDEN},
    ControlTemplate{1038, K::static_text, u"i28F001BX-T", 73, 17, 44, 11, style::RIGHT},
    ControlTemplate{1, K::push_button, u"ОК", 8, 95, 51, 14, 0},
    ControlTemplate{2, K::push_button, u"Отмена", 66, 95, 51, 14, 0},
};

constexpr std::array ERASE_BLOCK_CONTROLS{
    ControlTemplate{1041, K::auto_radio_button, u"Вся микросхема", 9, 9, 79, 8, 0},
    ControlTemplate{1042, K::auto_radio_button, u"Блок:", 10, 25, 36, 14, 0},
    ControlTemplate{1014, K::edit, u"0", 47, 25, 25, 12, HEX_FIELD | style::DISABLED},
    ControlTemplate{1044, K::static_text, u"h", 75, 27, 11, 9, 0},
    ControlTemplate{1, K::default_push_button, u"OK", 100, 7, 50, 13, 0},
    ControlTemplate{2, K::push_button, u"Отмена", 100, 26, 50, 13, 0},
};

constexpr std::array JEDEC_ID_CONTROLS{
    ControlTemplate{1049, K::push_button, u"Включить SDP", 5, 6, 70, 15, 0},
    ControlTemplate{1050, K::push_button, u"Выключить SDP", 5, 25, 70, 15, 0},
    ControlTemplate{1052, K::static_text, u"Производитель:", 87, 8, 55, 10, 0},
    ControlTemplate{1047, K::static_text, u"FF", 147, 8, 13, 10, 0},
    ControlTemplate{1053, K::static_text, u"Устройство:", 87, 28, 42, 12, 0},
    ControlTemplate{1048, K::static_text, u"FF", 147, 28, 13, 10, 0},
    ControlTemplate{2, K::push_button, u"Закрыть", 113, 50, 47, 15, 0},
};

// Fuse and lock columns: bit 7 at the top (y 14), bit 0 at the bottom (y 112).
constexpr int fuse_y(int bit) {
  return 14 + 14 * (7 - bit);
}
constexpr uint32_t FUSE_BOX = style::TAB_STOP;

#define FP_FUSE_BOX(first_id, x, bit, label)                                       \
  ControlTemplate {                                                                \
    (first_id) + (bit), K::auto_check_box, label, x, fuse_y(bit), 62, 13, FUSE_BOX \
  }

constexpr std::array ATTINY_CONTROLS{
    ControlTemplate{1098, K::group_box, u"", 6, 151, 293, 33, 0},
    ControlTemplate{1089, K::group_box, u"Лок-биты", 224, 2, 74, 147, 0},
    ControlTemplate{1088, K::group_box, u"Фьюзы", 5, 2, 213, 147, 0},
    FP_FUSE_BOX(1070, 10, 7, u"CKDIV8"),
    FP_FUSE_BOX(1070, 10, 6, u"CKOUT"),
    FP_FUSE_BOX(1070, 10, 5, u"SUT1"),
    FP_FUSE_BOX(1070, 10, 4, u"SUT0"),
    FP_FUSE_BOX(1070, 10, 3, u"CKSEL3"),
    FP_FUSE_BOX(1070, 10, 2, u"CKSEL2"),
    FP_FUSE_BOX(1070, 10, 1, u"CKSEL1"),
    FP_FUSE_BOX(1070, 10, 0, u"CKSEL0"),
    FP_FUSE_BOX(1080, 80, 7, u"DWEN"),
    FP_FUSE_BOX(1080, 80, 6, u"EESAVE"),
    FP_FUSE_BOX(1080, 80, 5, u"SPIEN"),
    FP_FUSE_BOX(1080, 80, 4, u"WDTON"),
    FP_FUSE_BOX(1080, 80, 3, u"BODLEVEL2"),
    FP_FUSE_BOX(1080, 80, 2, u"BODLEVEL1"),
    FP_FUSE_BOX(1080, 80, 1, u"BODLEVEL0"),
    FP_FUSE_BOX(1080, 80, 0, u"RSTDISBL"),
    FP_FUSE_BOX(1090, 150, 7, u"-"),
    FP_FUSE_BOX(1090, 150, 6, u"-"),
    FP_FUSE_BOX(1090, 150, 5, u"-"),
    FP_FUSE_BOX(1090, 150, 4, u"-"),
    FP_FUSE_BOX(1090, 150, 3, u"-"),
    FP_FUSE_BOX(1090, 150, 2, u"-"),
    FP_FUSE_BOX(1090, 150, 1, u"-"),
    FP_FUSE_BOX(1090, 150, 0, u"SPMEN"),
    FP_FUSE_BOX(1060, 229, 7, u"-"),
    FP_FUSE_BOX(1060, 229, 6, u"-"),
    FP_FUSE_BOX(1060, 229, 5, u"-"),
    FP_FUSE_BOX(1060, 229, 4, u"-"),
    FP_FUSE_BOX(1060, 229, 3, u"-"),
    FP_FUSE_BOX(1060, 229, 2, u"-"),
    FP_FUSE_BOX(1060, 229, 1, u"LB2"),
    FP_FUSE_BOX(1060, 229, 0, u"LB1"),
    ControlTemplate{1, K::default_push_button, u"Закрыть", 229, 161, 62, 17, 0},
    ControlTemplate{1068, K::push_button, u"Записать", 150, 127, 62, 17, 0},
    ControlTemplate{1069, K::push_button, u"Записать", 229, 127, 62, 17, style::MULTILINE},
    ControlTemplate{-1, K::static_text, u"Сигнатура:", 11, 164, 47, 11, 0},
    ControlTemplate{1078, K::edit, u"ХХ-ХХ-ХХ", 54, 163, 53, 12,
                    style::AUTO_HSCROLL | style::SUNKEN},
    ControlTemplate{-1, K::static_text, u"Калибровочный байт:", 111, 164, 77, 12, 0},
    ControlTemplate{1079, K::edit, u"ХХ", 191, 163, 18, 12, style::AUTO_HSCROLL | style::SUNKEN},
};
#undef FP_FUSE_BOX

constexpr std::array TEMPLATES{
    DialogTemplate{dlg::MAIN, u"Программатор FLASH", 271, 118,
                   dialog_style::POPUP | dialog_style::SYSTEM_MENU, MAIN_CONTROLS},
    DialogTemplate{dlg::BLOCKS, u"Выбор блоков", 125, 114, dialog_style::VISIBLE, BLOCK_CONTROLS},
    DialogTemplate{dlg::ERASE_BLOCK, u"Выбор блока для операции", 165, 50,
                   dialog_style::POPUP | dialog_style::SYSTEM_MENU | dialog_style::SIZING_FRAME,
                   ERASE_BLOCK_CONTROLS},
    DialogTemplate{dlg::JEDEC_ID, u"ID", 167, 73, dialog_style::POPUP, JEDEC_ID_CONTROLS},
    DialogTemplate{dlg::ATTINY_FUSES, u"ATTINY2313", 303, 188, dialog_style::VISIBLE,
                   ATTINY_CONTROLS},
};

}  // namespace

std::span<const DialogTemplate> dialog_templates() {
  return TEMPLATES;
}

const DialogTemplate* find_dialog_template(int id) {
  for (const auto& dialog : TEMPLATES) {
    if (dialog.id == id) return &dialog;
  }
  return nullptr;
}

}  // namespace fp
