// Every text the program shows in message boxes and in the status bar, once
// each. Control labels live with the dialog templates (dialog_templates.cpp).
#pragma once

namespace fp::text {

// Captions.
inline constexpr char16_t PROGRAMMER[] = u"Программатор";
inline constexpr char16_t CHIP_TYPE[] = u"Тип микросхемы";
inline constexpr char16_t TIMER_LOOPS[] = u"Холостых циклов за период работы таймера";

// Progress prefixes and status-bar texts.
inline constexpr char16_t READING[] = u"Чтение: ";
inline constexpr char16_t WRITING[] = u"Запись: ";
inline constexpr char16_t VERIFYING[] = u"Проверка: ";
inline constexpr char16_t ERASING[] = u"Стирание: ";
inline constexpr char16_t ERASE_DONE[] = u"Стирание завершено...";
inline constexpr char16_t CHECK_DONE[] = u"Проверка завершена...";

// Main window.
inline constexpr char16_t NOT_IMPLEMENTED[] = u"Не используется или не реализовано!";
inline constexpr char16_t BAD_EXTRA_PARAMETERS[] = u"Недопустимые дополнительные параметры!";
inline constexpr char16_t FILE_READ_ERROR[] = u"Ошибка чтения файла!";
inline constexpr char16_t FILE_SAVED[] = u"Данные успешно записаны в файл!";
inline constexpr char16_t FILE_WRITE_ERROR[] = u"Ошибка записи в файл!";
inline constexpr char16_t NOT_CALIBRATED[] =
    u"Калибровка программатора не производилась!\r\nПродолжить?";
inline constexpr char16_t WRITE_ERROR[] = u"Ошибка записи!";
inline constexpr char16_t WRITE_DONE[] = u"Запись успешно завершена!";
inline constexpr char16_t DATA_EQUAL[] = u"Данные совпадают!";
inline constexpr char16_t COMPARE_ERROR[] = u"Ошибка сравнения!";
inline constexpr char16_t REMOVE_CHIP[] = u"Микросхема ПЗУ должна быть удалена!\r\nПродолжить?";
inline constexpr char16_t TIMER_ERROR[] = u"Ошибка работы таймера!";
inline constexpr char16_t VPP_ON[] =
    u"Напряжение программирования включено!\r\nНажмите 'ОК' чтобы выключить.";

// Open-file dialog filters.
inline constexpr char16_t FILTER_BINARY[] = u"Бинарные файлы (*.bin,*.rom)";
inline constexpr char16_t FILTER_BINARY_PATTERN[] = u"*.bin;*.rom";
inline constexpr char16_t FILTER_ALL[] = u"Все файлы";
inline constexpr char16_t FILTER_ALL_PATTERN[] = u"*.*";

// Blank checks and erases.
inline constexpr char16_t BLANK[] = u"ПЗУ стёрто...";
inline constexpr char16_t NOT_BLANK[] = u"ПЗУ не стёрто!";
inline constexpr char16_t ERASE_ERROR[] = u"Ошибка стирания!";
inline constexpr char16_t ERASE_QUESTION[] = u"Стереть ПЗУ?";
inline constexpr char16_t BAD_NUMBER[] = u"Неверное число!";

// Labels of the block boxes 1034-1036 of "Выбор блоков": the bottom-boot
// three, then the top-boot three.
inline constexpr const char16_t* BLOCK_LABELS[] = {u"02000h", u"03000h", u"04000h",
                                                   u"1C000h", u"1D000h", u"1E000h"};

// ATtiny2313.
inline constexpr char16_t ODD_BLOCK[] = u"Нечетный адрес или размер блока недопустим!";
inline constexpr char16_t EEPROM_ERASE_REFUSED[] =
    u"Стереть EEPROM можно только вместе со стиранием FLASH";
inline constexpr char16_t ARE_YOU_SURE[] = u"Вы уверены?";

// Start of the Windows program; {} stands for the port library's file name.
inline constexpr char16_t PORT_LIBRARY_MISSING[] =
    u"Не удалось загрузить библиотеку доступа к порту {}.\r\n"
    u"Положите её в папку программы или в системную папку Windows.";
inline constexpr char16_t PORT_FUNCTIONS_MISSING[] =
    u"В библиотеке доступа к порту {} нет функций Out32 и Inp32.";
inline constexpr char16_t PORT_DRIVER_NOT_OPEN[] =
    u"Библиотека доступа к порту {} не смогла запустить свой драйвер.\r\n"
    u"Запустите программу от имени администратора.";
inline constexpr char16_t MAIN_WINDOW_FAILED[] = u"Не удалось открыть главное окно программы.";
// {} stands for the port's address.
inline constexpr char16_t ALREADY_RUNNING[] =
    u"Программатор на порту {} уже запущен.\r\n"
    u"Две программы на одном порту перемешали бы свои записи в порт и испортили микросхему.";
inline constexpr char16_t BAD_PORT_ARGUMENT[] =
    u"Неверная командная строка: {}.\r\n"
    u"Адрес порта задаётся так: programmer.exe /port D010 (шестнадцатеричный, от 100 до FFFD).";
// What was wrong with the command line; {} stands for the word.
inline constexpr char16_t PORT_ARGUMENT_UNKNOWN[] = u"неизвестный аргумент «{}»";
inline constexpr char16_t PORT_ARGUMENT_TWICE[] = u"{} задан дважды";
inline constexpr char16_t PORT_ARGUMENT_MISSING[] = u"после {} нет адреса порта";
inline constexpr char16_t PORT_ARGUMENT_NOT_HEX[] = u"«{}» не шестнадцатеричное число";
inline constexpr char16_t PORT_ARGUMENT_OUT_OF_RANGE[] = u"адрес порта {} вне пределов";

// Added to the main window's caption when the command line names the port;
// {} stands for its address.
inline constexpr char16_t CAPTION_PORT[] = u" (порт {})";

// The window's system menu and the box it opens.
inline constexpr char16_t ABOUT_MENU[] = u"О программе...";
inline constexpr char16_t ABOUT_CAPTION[] = u"О программе";
inline constexpr char16_t ABOUT_VERSION[] = u"Версия {}";
inline constexpr char16_t ABOUT_PORT_LIBRARY[] = u"Библиотека доступа к порту: {}";
inline constexpr char16_t ABOUT_PORT_FOLDER[] = u"Папка библиотеки: {}";
inline constexpr char16_t ABOUT_PORT_ADDRESS[] = u"Порт: {}";
inline constexpr char16_t ABOUT_SIMULATED_BOARD[] = u"Плата: имитация (без порта)";

}  // namespace fp::text
