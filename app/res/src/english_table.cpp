// The program's own English resources: the message strings (one per
// message code, in code order; see res/message_strings.h), the application
// title, the texts of the three-button question dialog, the command strings
// and the menu texts.

#include "res/menus.h"
#include "res/resource_module.h"

namespace {

constexpr VistelResString kStrings[] = {
    // Messages of the program's own conditions (category 0).
    {10000, "System Error!"},  // 0x01
    {10001, "System Error!\n(Unknown error)"},  // 0x02
    {10002, "System Error!\n(Unknown error)"},  // 0x03
    {10003, "Failed to open the file."},  // 0x04
    {10004, "Failed to read the file."},  // 0x05
    {10005, "Failed to write the file."},  // 0x06
    {10006, "Failed to open the file."},  // 0x07
    {10007, "Failed to create the file."},  // 0x08
    {10008, "Failed to delete the file."},  // 0x09
    {10009, "Failed to create the folder."},  // 0x0A
    {10010, "The folder does not exist."},  // 0x0B
    {10011, "The drive is not ready."},  // 0x0C
    {10012, "The file name is too long."},  // 0x0D
    {10013, "Failed to rename the file."},  // 0x0E
    {10014, "The disk is full."},  // 0x0F
    {10015, "The scanner is not connected.\nPlease check the cable and the power of the scanner."},  // 0x10
    {10016, "The scanner is busy.\nPlease wait a moment and try again."},  // 0x11
    {10017, "Failed to communicate with the scanner."},  // 0x12
    {10018, "The file is modified\nOverwrite?"},  // 0x13
    {10019, "The scanner cover is open.\nPlease close the cover."},  // 0x14
    {10020, "A paper jam has occurred.\nPlease remove the paper from the scanner."},  // 0x15
    {10021, "There is no paper in the feeder."},  // 0x16
    {10022, "System Error!"},  // 0x17
    {10023, "System Error!"},  // 0x18
    {10024, "System Error!"},  // 0x19
    {10025, "System Error!"},  // 0x1A
    {10026, "System Error!"},  // 0x1B
    {10027, "System Error!(Message Table)"},  // 0x1C
    {10028, "The scan setting was not found."},  // 0x1D
    {10029, "The scan setting name already exists.\nPlease enter another name."},  // 0x1E
    {10030, "The scan setting is in use.\nUnable to delete."},  // 0x1F
    {10031, "No more scan settings can be added.\nPlease delete an unused setting."},  // 0x20
    {10032, "Failed to copy file."},  // 0x21
    {10033, "System Error!"},  // 0x22
    {10034, "The file is read only.\nUnable to update."},  // 0x23
    {10035, "Save another name?"},  // 0x24
    {10036, "The folder is working folder this application.\nPlease select another folder."},  // 0x25
    {10037, "The folder does not exist.\nPlease select another folder."},  // 0x26
    {10038, "The file name is empty.\nPlease enter a file name."},  // 0x27
    {10039, "The file has already open.\nPlease enter another file name."},  // 0x28
    {10040, "Free space on the disk is less than the setting.\nThe image data may be lost.\nDo you continue?"},  // 0x29
    {10041, "The file is read only.\nDo you save another name?"},  // 0x30
    {10042, "System Error!"},  // 0x31
    {10043, "System Error!"},  // 0x32
    {10044, "Failed to save the file."},  // 0x33
    {10045, "The page cannot be saved in this file format."},  // 0x34
    {10046, "Invalid Image Type for Jpeg format.\nPlease set the 'Image Type' to '256 level gray' or '24bit Color'."},  // 0x35
    {10047, "The compression type cannot be used with this 'Image Type'.\nPlease select another compression type."},  // 0x36
    {10048, "Invalid 'Image Type' for PDF format.\nPlease set the 'Image Type' to 'Black&White' or '256 level gray' or '24bit Color'."},  // 0x37
    {10049, "Invalid character for File/Folder name.\nPlease reenter."},  // 0x38
    {10050, "The file is not supported format."},  // 0x39
    {10051, "The file is damaged or cannot be read."},  // 0x3A
    {10052, "The file is being used by another application."},  // 0x3B
    {10053, "The file is read only.\nUnable to update."},  // 0x3C
    {10054, "The file does not exist."},  // 0x3D
    {10055, "The file already exists.\nOverwrite?"},  // 0x3E
    {10056, "The folder name is too long.\nPlease select another folder."},  // 0x3F
    {10057, "No page is selected."},  // 0x40
    {10058, "Cannot execute, please install the application to local hard drive."},  // 0x41
    {10059, "Failed to create the working folder."},  // 0x42
    {10060, "Generated file name is too long. Please re-enter. "},  // 0x43
    {10061, "The start number is out of range.\nPlease re-enter."},  // 0x44
    {10062, "The number of digits is out of range.\nPlease re-enter."},  // 0x45
    {10063, "No folder is specified.\nPlease select a folder."},  // 0x46
    {10064, "Error occurred on accessing image file."},  // 0x47
    {10065, "The number of pages reached the maximum."},  // 0x48
    {10066, "The image size is too large."},  // 0x49
    {10067, "The image size is too small."},  // 0x4A
    {10068, "The resolution is out of range."},  // 0x4B
    {10069, "Failed to load the image."},  // 0x4C
    {10070, "Failed to allocate memory."},  // 0x4D
    {10071, "The 'Image Type' in the scan setting is invalid. "},  // 0x4E
    {10072, "Invalid page number, please re-enter."},  // 0x4F
    {10073, "Unable to proceed. The free space on the disk is not enough."},  // 0x50
    {10074, "Unable to proceed. The file size reached the maximum size (2G byte)."},  // 0x51
    {10075, "The job setting was not found."},  // 0x52
    {10076, "Error occurred on accessing image file."},  // 0x53
    {10077, "Failed to start the scanner driver."},  // 0x54
    {10078, "No scanner is selected.\nPlease select a scanner."},  // 0x55
    {10079, "Failed to open the file."},  // 0x56
    {10080, "Failed to open the file. Please install Adobe Reader."},  // 0x57
    {10081, "Scanning was canceled."},  // 0x58
    {10082, "Execute scanning as continuation of previous?\n'No' was selected, scanning on the new Job condition."},  // 0x59
    {10083, "This paper size cannot be used with this resolution."},  // 0x5A
    {10084, "The scan area exceeds the maximum for this resolution."},  // 0x5B
    {10085, "Duplex scanning cannot be used with this paper size."},  // 0x5C
    {10086, "Automatic paper size detection cannot be used with this paper source."},  // 0x5D
    {10087, "Multi-feed detection cannot be used with this paper size."},  // 0x5E
    {10088, "This image processing setting cannot be used with the 'Image Type'."},  // 0x5F
    {10089, "Blank page removal cannot be used with this setting."},  // 0x60
    {10090, "Color dropout cannot be used with '24bit Color'."},  // 0x61
    {10091, "Some settings cannot be used with this scanner.\nThey were changed to the default."},  // 0x62
    {10092, "The scan setting does not match the scanner.\nPlease check the scan setting."},  // 0x63
    {10093, "Error Delete file!"},  // 0x64
    {10094, "Delete all checked pages?"},  // 0x65
    {10095, "Changes to this file have been made.  These changes must be saved prior to executing this operation.\nSave all changes?"},  // 0x66
    {10096, "Failed to delete the page."},  // 0x67
    {10097, "Failed to insert the page."},  // 0x68
    {10098, "Failed to replace the page."},  // 0x69
    {10099, "The rollers need cleaning.\nPlease clean the rollers."},  // 0x70
    {10100, "The rollers need replacing.\nPlease replace the rollers."},  // 0x71
    {10101, "The front lamp needs replacing.\nPlease contact your dealer."},  // 0x72
    {10102, "The back lamp needs replacing.\nPlease contact your dealer."},  // 0x73
    {10103, "The front plate needs cleaning.\nPlease clean the front plate."},  // 0x74
    {10104, "The back plate needs cleaning.\nPlease clean the back plate."},  // 0x75
    {10105, "Reset the roller counter?"},  // 0x76
    {10106, "Reset the lamp counter?"},  // 0x77
    {10107, "The lamp is warming up.\nPlease wait."},  // 0x78
    {10108, "The lamp does not light.\nPlease contact your dealer."},  // 0x79
    {10109, "The utility is not found."},  // 0x7A
    {10110, "Failed to start the utility."},  // 0x7B
    {10111, "The utility is already running.\nPlease close it and try again."},  // 0x7C
    {10112, "Failed to load the plug-in library."},  // 0x7D
    {10113, "The plug-in function is not found."},  // 0x7E
    {10114, "Since it is scanning, it cannot go into standby mode"},  // 0x7F
    {10115, "The scanner was disconnected.\nScanning was stopped."},  // 0x80
    {10116, "The scanner reported an error.\nPlease turn the scanner off and on again."},  // 0x81
    {10117, "The scanner is in power saving mode.\nPlease wait until it is ready."},  // 0x82
    {10118, "Multi-feed was detected.\nPlease check the document."},  // 0x83
    {10119, "Failed to write the scan log file."},  // 0x84
    {10120, "Failed to read the scan setting file."},  // 0x85

    // Image processing and file writing of the working file (category 1).
    {12000, "System Error!"},  // 0x10000001
    {12001, "System Error!"},  // 0x10000002
    {12002, "System Error!"},  // 0x10000003
    {12003, "Dynamic Threshold Load Library error!!"},  // 0x10000010
    {12004, "Dynamic Threshold GetProcAddress error!!"},  // 0x10000011
    {12005, "Fail to process Dynamic Threshold! \nImage size is too small."},  // 0x10000020
    {12006, "Failed to allocate memory."},  // 0x10000021
    {12007, "System Error!"},  // 0x10001001
    {12008, "System Error!"},  // 0x10001002
    {12009, "System Error!"},  // 0x10001003
    {12010, "System Error!"},  // 0x10001005
    {12011, "System Error!"},  // 0x10001011
    {12012, "System Error!"},  // 0x10001012
    {12013, "System Error!"},  // 0x10001013
    {12014, "Failed to allocate memory."},  // 0x10001021
    {12015, "Error Delete file!"},  // 0x10001031
    {12016, "Failed to write file."},  // 0x10001032
    {12017, "Failed to create folder."},  // 0x10001033
    {12018, "Counter value for the file name or folder name was overflow."},  // 0x10001034
    {12019, "Failed to create file."},  // 0x10001035
    {12020, "The drive name does not exist."},  // 0x10001036
    {12021, "The folder does not exist."},  // 0x10001037
    {12022, "Unable to proceed. The free space on the disk is not enough."},  // 0x10001038
    {12023, "Unable to proceed. The file size reached the maximum size (2G byte)."},  // 0x10001039
    {12024, "Failed to create/write \"Blank Page Removal\" LOG file."},  // 0x10001040
    {12025, "Scanner is busy."},  // 0x10001041

    // Image object library (category 6).
    {14000, "System Error!\n(Unknown error)"},  // 0x60000000
    {14001, "System Error!\n(Unknown error)"},  // 0x60000001
    {14002, "System Error!\n(Unknown error)"},  // 0x60000002
    {14003, "System Error!\n(Unknown error)"},  // 0x60000003
    {14004, "System Error!\n(Unknown error)"},  // 0x60000004
    {14005, "System Error!\n(Unknown error)"},  // 0x60000005
    {14006, "System Error!\n(Unknown error)"},  // 0x60000006
    {14007, "System Error!\n(Unknown error)"},  // 0x60000007
    {14008, "System Error!\n(Unknown error)"},  // 0x60000008
    {14009, "System Error!\n(Unknown error)"},  // 0x60000009
    {14010, "Failed to allocate memory."},  // 0x6000000A
    {14011, "System Error!\n(Unknown error)"},  // 0x6000000B
    {14012, "System Error!\n(Unknown error)"},  // 0x6000000C
    {14013, "System Error!\n(Unknown error)"},  // 0x6000000D
    {14014, "System Error!\n(Unknown error)"},  // 0x6000000E
    {14015, "System Error!\n(Unknown error)"},  // 0x6000000F
    {14016, "System Error!\n(Unknown error)"},  // 0x60000010

    // Image file library (category 4).
    {15000, "Failed to allocate memory."},  // 0x40000001
    {15001, "Failed to open the file."},  // 0x40000002
    {15002, "File format is bad, or unreadable."},  // 0x40000003
    {15003, "Bad strings error."},  // 0x40000004
    {15004, "System Error!"},  // 0x40000005
    {15005, "Failed to create a new file."},  // 0x40000006
    {15006, "Image data format is invalid."},  // 0x40000007
    {15007, "System Error!"},  // 0x40000008
    {15008, "Failed to write data to the disk."},  // 0x40000009
    {15009, "System Error!"},  // 0x4000000A
    {15010, "Page data is not found."},  // 0x4000000B
    {15011, "Failed to read from disk."},  // 0x4000000C
    {15012, "System Error!\n(Bad image handle.)"},  // 0x4000000D
    {15013, "Image data is not found on clipboard."},  // 0x4000000E
    {15014, "System Error!\n(Unknown error)"},  // 0x4000000F
    {15015, "System Error!\n(Unknown error)"},  // 0x40000010
    {15016, "System Error!\n(Unknown error)"},  // 0x40000011
    {15017, "System Error!\n(Unknown error)"},  // 0x40000012
    {15018, "System Error!\n(Unknown error)"},  // 0x40000013
    {15019, "System Error!\n(Unknown error)"},  // 0x40000014
    {15020, "The image file format does not support the images bits/pixel."},  // 0x40000015
    {15021, "System Error!\n(Unknown error)"},  // 0x40000016
    {15022, "System Error!\n(Not support LZW) "},  // 0x40000017
    {15023, "System Error!\n(Unknown error)"},  // 0x40000018
    {15024, "System Error!\n(Unknown error)"},  // 0x40000019
    {15025, "System Error!\n(Unknown error)"},  // 0x4000001A
    {15026, "System Error!\n(Compression format is not supported.)"},  // 0x4000001B
    {15027, "System Error!\n(Unknown error)"},  // 0x4000001C
    {15028, "System Error!\n(Unknown error)"},  // 0x4000001D
    {15029, "System Error!\n(gif graphic extension error)"},  // 0x4000001E
    {15030, "System Error!\n(Tiff tag error)"},  // 0x4000001F
    {15031, "System Error!\n(Tiff Tiled image error)"},  // 0x40000020
    {15032, "Failed to allocate memory."},  // 0x40000100
    {15033, "System Error!\n(Unknown error)"},  // 0x40000101

    {res::kIdsAppTitle, "Vexo Viewer"},

    // Status bar, toolbars.
    {111, "FileName:%s"},
    {112, "Page:%d/%d"},
    {508, "Job"},

    // Commands: status prompt, line feed, tooltip.
    {32826, "Open image files\nOpen File"},
    {32818, "Close the working file\nClose"},
    {32893, "Save the changed pages into their files\nSave"},
    {32819, "Save pages into a new file\nSave Page As..."},
    {57606, "Change the printer and printing options\nPrint Setup"},
    {32869, "Print the page fitted to the paper\nPrint (Fit Page)"},
    {32870, "Print the page at its actual size\nPrint (Actual Size)"},
    {57665, "Quit the application\nExit"},
    {32809, "Scan documents\nExecute Scan"},
    {32915, "Scan a test page\nPre Scan"},
    {32780, "Change the current scan setting\nScan Setting"},
    {32827, "Edit the list of scan settings\nScan Settings List"},
    {32880, "Divide the batch into files automatically\nEnable Job(Automatic divide function)"},
    {32879, "Change the current job setting\nJob Setting"},
    {32881, "Edit the list of job settings\nJob Setting List"},
    {32775, "Set up the user control sheet\nUser Control Sheet Setting"},
    {32876, "Choose the scanner\nSelect Scanner"},
    {32884, "Undo the last page operation\nUndo"},
    {32875, "Crop the page\nCrop"},
    {32798, "Rotate the page 90 degrees\nRotate 90"},
    {32799, "Rotate the page -90 degrees\nRotate -90"},
    {32867, "Rotate the page 180 degrees\nRotate 180"},
    {32868, "Rotate the page by any angle\nRotate"},
    {32801, "Enlarge the page\nZoom In"},
    {32802, "Reduce the page\nZoom Out"},
    {32782, "Fit the page into the window\nFit Window"},
    {32774, "Fit the page to the window width\nFit Width"},
    {32781, "Fit the page to the window height\nFit Length"},
    {32773, "Show the page at its actual size\n1:1"},
    {32785, "Show the pan window\nPan Window"},
    {32787, "Show one page\n1 Image View"},
    {32788, "Show two pages\n2 Images View"},
    {32789, "Show four pages\n4 Images View"},
    {32813, "Show eight pages\n8 Images View"},
    {32815, "Arrange the pages row by row\nHorizontal View Order"},
    {32816, "Arrange the pages column by column\nVertical View Order"},
    {32804, "Show the previous pages\nPrev. Page"},
    {32803, "Show the next pages\nNext Page"},
    {32886, "Go to a page\nGo To Page"},
    {32882, "Replace the page by scanning it again\nReplace Scan"},
    {32890, "Scan pages in before the page\nInsert Scan - Prev."},
    {32891, "Scan pages in after the page\nInsert Scan - Next"},
    {32892, "Delete the page\nDelete Page"},
    {32914, "Find and delete blank pages\nDelete Blank Pages"},
    {32783, "Scroll the page with the mouse\nScroll Tool"},
    {32784, "Magnify with the mouse\nMagnify Tool"},
    {32806, "Change the application settings\nApplication Setting"},
    {32851, "Show or hide the File toolbar\nFile Toolbar"},
    {32854, "Show or hide the Scan toolbar\nScan Toolbar"},
    {32852, "Show or hide the View toolbar\nView Toolbar"},
    {32853, "Show or hide the Page toolbar\nPage Toolbar"},
    {32866, "Show or hide the file list\nFile List"},
    {32807, "Open the manual\nHelp"},
    {32848, "Show the image information\nAbout Image"},
    {32808, "Show the program version\nAbout"},
    {32894, "Run the plug-in function\nPlug In Function"},
};

// Dialog 165: the question that applies to several files.
constexpr VistelResDialogText kDialogTexts[] = {
    {165, 0, "Message"},
    {165, 1034, "Yes to &All"},
    {165, 1091, "&Yes"},
    {165, 1092, "&No"},
    // Dialog 100: the About box.
    {100, 0, "About Vexo Viewer"},
    {100, 1173, "Vexo Viewer"},
    {100, 1176, "Version"},
    {100, 1174, "Copyright (C) 2026 Norvik Imaging"},
    {100, 1, "OK"},
    {100, 1561, "&More..."},
    // Dialog 197: the opening logo (its caption only; the picture is bitmap 198).
    {197, 0, "Vexo Viewer"},
};


// Menu 128 (the menu bar) and menu 223 (the page pop-up).
constexpr VistelResMenuText kMenuTexts[] = {
    {res::kMenuMain, res::PopupKey(0), "&File"},
    {res::kMenuMain, 32826, "&Open...\tCtrl+O"},
    {res::kMenuMain, 32818, "&Close"},
    {res::kMenuMain, 32893, "&Save"},
    {res::kMenuMain, 32819, "Save Page &As..."},
    {res::kMenuMain, 57606, "Print Set&up..."},
    {res::kMenuMain, 32869, "&Print Fit Page..."},
    {res::kMenuMain, 32870, "Print A&ctual Size..."},
    {res::kMenuMain, 57665, "E&xit"},
    {res::kMenuMain, res::PopupKey(1), "&Scan"},
    {res::kMenuMain, 32809, "&Scan\tCtrl+S"},
    {res::kMenuMain, 32915, "&PreScan"},
    {res::kMenuMain, 32780, "Scan S&etting...\tCtrl+E"},
    {res::kMenuMain, 32827, "Scan Setting &List..."},
    {res::kMenuMain, 32880, "&Job"},
    {res::kMenuMain, 32879, "Job Se&tting..."},
    {res::kMenuMain, 32881, "Job Setting L&ist..."},
    {res::kMenuMain, 32775, "&User Control Sheet Setting..."},
    {res::kMenuMain, 32876, "Select Sca&nner..."},
    {res::kMenuMain, res::PopupKey(2), "&Page"},
    {res::kMenuMain, 32804, "&Prev. Page"},
    {res::kMenuMain, 32803, "&Next Page"},
    {res::kMenuMain, 32886, "&Go to..."},
    {res::kMenuMain, 32882, "&Replace Scan"},
    {res::kMenuMain, 32890, "Insert Scan - P&rev."},
    {res::kMenuMain, 32891, "Insert Scan - Ne&xt"},
    {res::kMenuMain, 32892, "&Delete Page"},
    {res::kMenuMain, 32914, "Delete &Blank Pages..."},
    {res::kMenuMain, res::PopupKey(3), "&Image"},
    {res::kMenuMain, 32884, "&Undo"},
    {res::kMenuMain, 32875, "&Crop"},
    {res::kMenuMain, 32798, "Rotate  &90"},
    {res::kMenuMain, 32799, "Rotate -9&0"},
    {res::kMenuMain, 32867, "Rotate 1&80"},
    {res::kMenuMain, 32868, "&Rotate..."},
    {res::kMenuMain, 32848, "&About Image..."},
    {res::kMenuMain, res::PopupKey(4), "&View"},
    {res::kMenuMain, 32801, "Zoom &In"},
    {res::kMenuMain, 32802, "Zoom &Out"},
    {res::kMenuMain, 32782, "Fit &Window"},
    {res::kMenuMain, 32774, "Fit W&idth"},
    {res::kMenuMain, 32781, "Fit &Length"},
    {res::kMenuMain, 32773, "&1:1"},
    {res::kMenuMain, 32785, "&Pan Window"},
    {res::kMenuMain, res::SubmenuKey(4, 9), "&Separation"},
    {res::kMenuMain, 32787, "&1"},
    {res::kMenuMain, 32788, "&2"},
    {res::kMenuMain, 32789, "&4"},
    {res::kMenuMain, 32813, "&8"},
    {res::kMenuMain, res::SubmenuKey(4, 10), "O&rder"},
    {res::kMenuMain, 32815, "&Horizontal"},
    {res::kMenuMain, 32816, "&Vertical"},
    {res::kMenuMain, res::SubmenuKey(4, 12), "&Toolbar Disp."},
    {res::kMenuMain, 32851, "&File"},
    {res::kMenuMain, 32854, "&Scan"},
    {res::kMenuMain, 32852, "&View"},
    {res::kMenuMain, 32853, "&Page"},
    {res::kMenuMain, 32866, "File &List"},
    {res::kMenuMain, res::PopupKey(5), "&Tool"},
    {res::kMenuMain, 32783, "&Scroll Tool"},
    {res::kMenuMain, 32784, "&Magnify Tool"},
    {res::kMenuMain, res::PopupKey(6), "&Option"},
    {res::kMenuMain, 32806, "&Application Setting..."},
    {res::kMenuMain, res::PopupKey(7), "&Help"},
    {res::kMenuMain, 32807, "&Help"},
    {res::kMenuMain, 32808, "&About..."},
    {res::kMenuPageEdit, res::PopupKey(0), "PageEditPopUpMenu"},
    {res::kMenuPageEdit, 32875, "&Crop"},
    {res::kMenuPageEdit, 32798, "Rotate  &90"},
    {res::kMenuPageEdit, 32799, "Rotate -9&0"},
    {res::kMenuPageEdit, 32867, "Rotate 1&80"},
    {res::kMenuPageEdit, 32868, "&Rotate..."},
    {res::kMenuPlugIn, res::PopupKey(0), "&Plug In"},
    {res::kMenuPlugIn, 32894, "&Function"},
};

constexpr VistelResTable kEnglish = VistelMakeResTable(0x0409, "English", kStrings, kDialogTexts, kMenuTexts);

}  // namespace

const VistelResTable& res::EnglishTable() { return kEnglish; }
