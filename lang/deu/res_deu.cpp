// German resources of Vistel: every text of the program's own English
// table, translated: messages, command strings and menu texts. The ids
// and their order follow the English table.

#include "res/lang_abi.h"
#include "res/menus.h"

namespace {

constexpr VistelResString kStrings[] = {
    // Messages of the program's own conditions (category 0).
    {10000, "Systemfehler!"},  // 0x01
    {10001, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x02
    {10002, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x03
    {10003, "Die Datei konnte nicht geöffnet werden."},  // 0x04
    {10004, "Die Datei konnte nicht gelesen werden."},  // 0x05
    {10005, "Die Datei konnte nicht geschrieben werden."},  // 0x06
    {10006, "Die Datei konnte nicht geöffnet werden."},  // 0x07
    {10007, "Die Datei konnte nicht erstellt werden."},  // 0x08
    {10008, "Die Datei konnte nicht gelöscht werden."},  // 0x09
    {10009, "Der Ordner konnte nicht erstellt werden."},  // 0x0A
    {10010, "Der Ordner ist nicht vorhanden."},  // 0x0B
    {10011, "Das Laufwerk ist nicht bereit."},  // 0x0C
    {10012, "Der Dateiname ist zu lang."},  // 0x0D
    {10013, "Die Datei konnte nicht umbenannt werden."},  // 0x0E
    {10014, "Der Datenträger ist voll."},  // 0x0F
    {10015, "Der Scanner ist nicht angeschlossen.\nBitte prüfen Sie das Kabel und die Stromversorgung des Scanners."},  // 0x10
    {10016, "Der Scanner ist belegt.\nBitte warten Sie einen Moment und versuchen Sie es erneut."},  // 0x11
    {10017, "Die Verbindung zum Scanner ist fehlgeschlagen."},  // 0x12
    {10018, "Die Datei wurde geändert.\nÜberschreiben?"},  // 0x13
    {10019, "Die Abdeckung des Scanners ist offen.\nBitte schließen Sie die Abdeckung."},  // 0x14
    {10020, "Papierstau.\nBitte entfernen Sie das Papier aus dem Scanner."},  // 0x15
    {10021, "Im Einzug liegt kein Papier."},  // 0x16
    {10022, "Systemfehler!"},  // 0x17
    {10023, "Systemfehler!"},  // 0x18
    {10024, "Systemfehler!"},  // 0x19
    {10025, "Systemfehler!"},  // 0x1A
    {10026, "Systemfehler!"},  // 0x1B
    {10027, "Systemfehler!(Meldungstabelle)"},  // 0x1C
    {10028, "Die Scaneinstellung wurde nicht gefunden."},  // 0x1D
    {10029, "Der Name der Scaneinstellung ist bereits vorhanden.\nBitte geben Sie einen anderen Namen ein."},  // 0x1E
    {10030, "Die Scaneinstellung wird verwendet.\nLöschen nicht möglich."},  // 0x1F
    {10031, "Es können keine weiteren Scaneinstellungen hinzugefügt werden.\nBitte löschen Sie eine nicht verwendete Einstellung."},  // 0x20
    {10032, "Die Datei konnte nicht kopiert werden."},  // 0x21
    {10033, "Systemfehler!"},  // 0x22
    {10034, "Die Datei ist schreibgeschützt.\nAktualisieren nicht möglich."},  // 0x23
    {10035, "Unter einem anderen Namen speichern?"},  // 0x24
    {10036, "Dieser Ordner ist der Arbeitsordner dieser Anwendung.\nBitte wählen Sie einen anderen Ordner."},  // 0x25
    {10037, "Der Ordner ist nicht vorhanden.\nBitte wählen Sie einen anderen Ordner."},  // 0x26
    {10038, "Es wurde kein Dateiname angegeben.\nBitte geben Sie einen Dateinamen ein."},  // 0x27
    {10039, "Die Datei ist bereits geöffnet.\nBitte geben Sie einen anderen Dateinamen ein."},  // 0x28
    {10040, "Der freie Speicherplatz auf dem Datenträger ist kleiner als eingestellt.\nDie Bilddaten können verloren gehen.\nTrotzdem fortfahren?"},  // 0x29
    {10041, "Die Datei ist schreibgeschützt.\nUnter einem anderen Namen speichern?"},  // 0x30
    {10042, "Systemfehler!"},  // 0x31
    {10043, "Systemfehler!"},  // 0x32
    {10044, "Die Datei konnte nicht gespeichert werden."},  // 0x33
    {10045, "Die Seite kann in diesem Dateiformat nicht gespeichert werden."},  // 0x34
    {10046, "Ungültiger Bildtyp für das JPEG-Format.\nBitte stellen Sie den 'Bildtyp' auf '256 Graustufen' oder '24 Bit Farbe' ein."},  // 0x35
    {10047, "Die Komprimierung kann mit diesem 'Bildtyp' nicht verwendet werden.\nBitte wählen Sie eine andere Komprimierung."},  // 0x36
    {10048, "Ungültiger 'Bildtyp' für das PDF-Format.\nBitte stellen Sie den 'Bildtyp' auf 'Schwarzweiß', '256 Graustufen' oder '24 Bit Farbe' ein."},  // 0x37
    {10049, "Ungültiges Zeichen im Datei- oder Ordnernamen.\nBitte erneut eingeben."},  // 0x38
    {10050, "Das Dateiformat wird nicht unterstützt."},  // 0x39
    {10051, "Die Datei ist beschädigt oder kann nicht gelesen werden."},  // 0x3A
    {10052, "Die Datei wird von einer anderen Anwendung verwendet."},  // 0x3B
    {10053, "Die Datei ist schreibgeschützt.\nAktualisieren nicht möglich."},  // 0x3C
    {10054, "Die Datei ist nicht vorhanden."},  // 0x3D
    {10055, "Die Datei ist bereits vorhanden.\nÜberschreiben?"},  // 0x3E
    {10056, "Der Ordnername ist zu lang.\nBitte wählen Sie einen anderen Ordner."},  // 0x3F
    {10057, "Es ist keine Seite ausgewählt."},  // 0x40
    {10058, "Ausführen nicht möglich. Bitte installieren Sie die Anwendung auf einer lokalen Festplatte."},  // 0x41
    {10059, "Der Arbeitsordner konnte nicht erstellt werden."},  // 0x42
    {10060, "Der erzeugte Dateiname ist zu lang. Bitte erneut eingeben."},  // 0x43
    {10061, "Die Startnummer liegt außerhalb des gültigen Bereichs.\nBitte erneut eingeben."},  // 0x44
    {10062, "Die Stellenzahl liegt außerhalb des gültigen Bereichs.\nBitte erneut eingeben."},  // 0x45
    {10063, "Es wurde kein Ordner angegeben.\nBitte wählen Sie einen Ordner."},  // 0x46
    {10064, "Beim Zugriff auf die Bilddatei ist ein Fehler aufgetreten."},  // 0x47
    {10065, "Die maximale Seitenzahl ist erreicht."},  // 0x48
    {10066, "Das Bild ist zu groß."},  // 0x49
    {10067, "Das Bild ist zu klein."},  // 0x4A
    {10068, "Die Auflösung liegt außerhalb des gültigen Bereichs."},  // 0x4B
    {10069, "Das Bild konnte nicht geladen werden."},  // 0x4C
    {10070, "Es konnte nicht genügend Speicher reserviert werden."},  // 0x4D
    {10071, "Der 'Bildtyp' in der Scaneinstellung ist ungültig."},  // 0x4E
    {10072, "Ungültige Seitenzahl, bitte erneut eingeben."},  // 0x4F
    {10073, "Vorgang nicht möglich. Auf dem Datenträger ist nicht genügend Speicherplatz frei."},  // 0x50
    {10074, "Vorgang nicht möglich. Die Datei hat die maximale Größe (2G byte) erreicht."},  // 0x51
    {10075, "Die Jobeinstellung wurde nicht gefunden."},  // 0x52
    {10076, "Beim Zugriff auf die Bilddatei ist ein Fehler aufgetreten."},  // 0x53
    {10077, "Der Scannertreiber konnte nicht gestartet werden."},  // 0x54
    {10078, "Es ist kein Scanner ausgewählt.\nBitte wählen Sie einen Scanner."},  // 0x55
    {10079, "Die Datei konnte nicht geöffnet werden."},  // 0x56
    {10080, "Die Datei konnte nicht geöffnet werden. Bitte installieren Sie Adobe Reader."},  // 0x57
    {10081, "Der Scanvorgang wurde abgebrochen."},  // 0x58
    {10082, "Scan als Fortsetzung des vorherigen Jobs ausführen?\nBei 'Nein' wird mit den neuen Jobbedingungen gescannt."},  // 0x59
    {10083, "Dieses Papierformat kann mit dieser Auflösung nicht verwendet werden."},  // 0x5A
    {10084, "Der Scanbereich überschreitet das Maximum für diese Auflösung."},  // 0x5B
    {10085, "Beidseitiges Scannen ist mit diesem Papierformat nicht möglich."},  // 0x5C
    {10086, "Die automatische Formaterkennung ist mit dieser Papierquelle nicht möglich."},  // 0x5D
    {10087, "Die Doppeleinzugserkennung ist mit diesem Papierformat nicht möglich."},  // 0x5E
    {10088, "Diese Bildverarbeitung kann mit dem 'Bildtyp' nicht verwendet werden."},  // 0x5F
    {10089, "Das Entfernen leerer Seiten ist mit dieser Einstellung nicht möglich."},  // 0x60
    {10090, "Die Farbausblendung ist mit '24 Bit Farbe' nicht möglich."},  // 0x61
    {10091, "Einige Einstellungen können mit diesem Scanner nicht verwendet werden.\nSie wurden auf die Standardwerte zurückgesetzt."},  // 0x62
    {10092, "Die Scaneinstellung passt nicht zum Scanner.\nBitte prüfen Sie die Scaneinstellung."},  // 0x63
    {10093, "Fehler beim Löschen der Datei!"},  // 0x64
    {10094, "Alle markierten Seiten löschen?"},  // 0x65
    {10095, "Diese Datei wurde geändert. Die Änderungen müssen vor diesem Vorgang gespeichert werden.\nAlle Änderungen speichern?"},  // 0x66
    {10096, "Die Seite konnte nicht gelöscht werden."},  // 0x67
    {10097, "Die Seite konnte nicht eingefügt werden."},  // 0x68
    {10098, "Die Seite konnte nicht ersetzt werden."},  // 0x69
    {10099, "Die Rollen müssen gereinigt werden.\nBitte reinigen Sie die Rollen."},  // 0x70
    {10100, "Die Rollen müssen ausgetauscht werden.\nBitte tauschen Sie die Rollen aus."},  // 0x71
    {10101, "Die vordere Lampe muss ausgetauscht werden.\nBitte wenden Sie sich an Ihren Händler."},  // 0x72
    {10102, "Die hintere Lampe muss ausgetauscht werden.\nBitte wenden Sie sich an Ihren Händler."},  // 0x73
    {10103, "Die vordere Glasplatte muss gereinigt werden.\nBitte reinigen Sie die vordere Glasplatte."},  // 0x74
    {10104, "Die hintere Glasplatte muss gereinigt werden.\nBitte reinigen Sie die hintere Glasplatte."},  // 0x75
    {10105, "Rollenzähler zurücksetzen?"},  // 0x76
    {10106, "Lampenzähler zurücksetzen?"},  // 0x77
    {10107, "Die Lampe wärmt sich auf.\nBitte warten."},  // 0x78
    {10108, "Die Lampe leuchtet nicht.\nBitte wenden Sie sich an Ihren Händler."},  // 0x79
    {10109, "Das Dienstprogramm wurde nicht gefunden."},  // 0x7A
    {10110, "Das Dienstprogramm konnte nicht gestartet werden."},  // 0x7B
    {10111, "Das Dienstprogramm wird bereits ausgeführt.\nBitte beenden Sie es und versuchen Sie es erneut."},  // 0x7C
    {10112, "Die Plug-in-Bibliothek konnte nicht geladen werden."},  // 0x7D
    {10113, "Die Plug-in-Funktion wurde nicht gefunden."},  // 0x7E
    {10114, "Während des Scanvorgangs kann nicht in den Standby-Modus gewechselt werden."},  // 0x7F
    {10115, "Die Verbindung zum Scanner wurde getrennt.\nDer Scanvorgang wurde angehalten."},  // 0x80
    {10116, "Der Scanner hat einen Fehler gemeldet.\nBitte schalten Sie den Scanner aus und wieder ein."},  // 0x81
    {10117, "Der Scanner befindet sich im Energiesparmodus.\nBitte warten Sie, bis er bereit ist."},  // 0x82
    {10118, "Doppeleinzug erkannt.\nBitte prüfen Sie das Dokument."},  // 0x83
    {10119, "Die Scan-Protokolldatei konnte nicht geschrieben werden."},  // 0x84
    {10120, "Die Datei mit den Scaneinstellungen konnte nicht gelesen werden."},  // 0x85

    // Image processing and file writing of the working file (category 1).
    {12000, "Systemfehler!"},  // 0x10000001
    {12001, "Systemfehler!"},  // 0x10000002
    {12002, "Systemfehler!"},  // 0x10000003
    {12003, "Fehler beim Laden der Bibliothek für den dynamischen Schwellenwert!!"},  // 0x10000010
    {12004, "Dynamischer Schwellenwert: Funktion in der Bibliothek nicht gefunden!!"},  // 0x10000011
    {12005, "Der dynamische Schwellenwert konnte nicht angewendet werden!\nDas Bild ist zu klein."},  // 0x10000020
    {12006, "Es konnte nicht genügend Speicher reserviert werden."},  // 0x10000021
    {12007, "Systemfehler!"},  // 0x10001001
    {12008, "Systemfehler!"},  // 0x10001002
    {12009, "Systemfehler!"},  // 0x10001003
    {12010, "Systemfehler!"},  // 0x10001005
    {12011, "Systemfehler!"},  // 0x10001011
    {12012, "Systemfehler!"},  // 0x10001012
    {12013, "Systemfehler!"},  // 0x10001013
    {12014, "Es konnte nicht genügend Speicher reserviert werden."},  // 0x10001021
    {12015, "Fehler beim Löschen der Datei!"},  // 0x10001031
    {12016, "Die Datei konnte nicht geschrieben werden."},  // 0x10001032
    {12017, "Der Ordner konnte nicht erstellt werden."},  // 0x10001033
    {12018, "Der Zählerwert für den Datei- oder Ordnernamen ist übergelaufen."},  // 0x10001034
    {12019, "Die Datei konnte nicht erstellt werden."},  // 0x10001035
    {12020, "Das Laufwerk ist nicht vorhanden."},  // 0x10001036
    {12021, "Der Ordner ist nicht vorhanden."},  // 0x10001037
    {12022, "Vorgang nicht möglich. Auf dem Datenträger ist nicht genügend Speicherplatz frei."},  // 0x10001038
    {12023, "Vorgang nicht möglich. Die Datei hat die maximale Größe (2G byte) erreicht."},  // 0x10001039
    {12024, "Die Protokolldatei für „Leere Seiten entfernen“ konnte nicht erstellt oder geschrieben werden."},  // 0x10001040
    {12025, "Der Scanner ist belegt."},  // 0x10001041

    // Image object library (category 6).
    {14000, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x60000000
    {14001, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x60000001
    {14002, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x60000002
    {14003, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x60000003
    {14004, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x60000004
    {14005, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x60000005
    {14006, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x60000006
    {14007, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x60000007
    {14008, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x60000008
    {14009, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x60000009
    {14010, "Es konnte nicht genügend Speicher reserviert werden."},  // 0x6000000A
    {14011, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x6000000B
    {14012, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x6000000C
    {14013, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x6000000D
    {14014, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x6000000E
    {14015, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x6000000F
    {14016, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x60000010

    // Image file library (category 4).
    {15000, "Es konnte nicht genügend Speicher reserviert werden."},  // 0x40000001
    {15001, "Die Datei konnte nicht geöffnet werden."},  // 0x40000002
    {15002, "Das Dateiformat ist fehlerhaft oder nicht lesbar."},  // 0x40000003
    {15003, "Fehlerhafte Zeichenfolge."},  // 0x40000004
    {15004, "Systemfehler!"},  // 0x40000005
    {15005, "Es konnte keine neue Datei erstellt werden."},  // 0x40000006
    {15006, "Das Format der Bilddaten ist ungültig."},  // 0x40000007
    {15007, "Systemfehler!"},  // 0x40000008
    {15008, "Die Daten konnten nicht auf den Datenträger geschrieben werden."},  // 0x40000009
    {15009, "Systemfehler!"},  // 0x4000000A
    {15010, "Die Seitendaten wurden nicht gefunden."},  // 0x4000000B
    {15011, "Vom Datenträger konnte nicht gelesen werden."},  // 0x4000000C
    {15012, "Systemfehler!\n(Ungültiges Bildhandle.)"},  // 0x4000000D
    {15013, "In der Zwischenablage sind keine Bilddaten vorhanden."},  // 0x4000000E
    {15014, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x4000000F
    {15015, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x40000010
    {15016, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x40000011
    {15017, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x40000012
    {15018, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x40000013
    {15019, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x40000014
    {15020, "Das Bilddateiformat unterstützt die Bit/Pixel des Bildes nicht."},  // 0x40000015
    {15021, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x40000016
    {15022, "Systemfehler!\n(LZW wird nicht unterstützt)"},  // 0x40000017
    {15023, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x40000018
    {15024, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x40000019
    {15025, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x4000001A
    {15026, "Systemfehler!\n(Das Komprimierungsformat wird nicht unterstützt.)"},  // 0x4000001B
    {15027, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x4000001C
    {15028, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x4000001D
    {15029, "Systemfehler!\n(Fehler in der GIF-Grafikerweiterung)"},  // 0x4000001E
    {15030, "Systemfehler!\n(TIFF-Tag-Fehler)"},  // 0x4000001F
    {15031, "Systemfehler!\n(Fehler im gekachelten TIFF-Bild)"},  // 0x40000020
    {15032, "Es konnte nicht genügend Speicher reserviert werden."},  // 0x40000100
    {15033, "Systemfehler!\n(Unbekannter Fehler)"},  // 0x40000101

    {57344, "Vexo Viewer"},  // application title, never translated

    // Status bar, toolbars.
    {111, "Dateiname:%s"},
    {112, "Seite:%d/%d"},
    {508, "Job"},  // the German term for it, as in the messages above

    // Commands: status prompt, line feed, tooltip.
    {32826, "Bilddateien öffnen\nDatei öffnen"},
    {32818, "Die Arbeitsdatei schließen\nSchließen"},
    {32893, "Die geänderten Seiten in ihren Dateien speichern\nSpeichern"},
    {32819, "Seiten in einer neuen Datei speichern\nSeite speichern unter..."},
    {57606, "Den Drucker und die Druckoptionen ändern\nDruckereinrichtung"},
    {32869, "Die Seite an das Papier angepasst drucken\nDrucken (an Seite anpassen)"},
    {32870, "Die Seite in Originalgröße drucken\nDrucken (Originalgröße)"},
    {57665, "Die Anwendung beenden\nBeenden"},
    {32809, "Dokumente scannen\nScan ausführen"},
    {32915, "Eine Testseite scannen\nVorschau-Scan"},
    {32780, "Die aktuelle Scaneinstellung ändern\nScaneinstellung"},
    {32827, "Die Liste der Scaneinstellungen bearbeiten\nListe der Scaneinstellungen"},
    {32880, "Den Stapel automatisch in Dateien aufteilen\nJob aktivieren (automatische Aufteilung)"},
    {32879, "Die aktuelle Jobeinstellung ändern\nJobeinstellung"},
    {32881, "Die Liste der Jobeinstellungen bearbeiten\nListe der Jobeinstellungen"},
    {32775, "Das Benutzer-Steuerblatt einrichten\nBenutzer-Steuerblatt einrichten"},
    {32876, "Den Scanner auswählen\nScanner auswählen"},
    {32884, "Den letzten Seitenvorgang rückgängig machen\nRückgängig"},
    {32875, "Die Seite zuschneiden\nZuschneiden"},
    {32798, "Die Seite um 90 Grad drehen\n90° drehen"},
    {32799, "Die Seite um -90 Grad drehen\n-90° drehen"},
    {32867, "Die Seite um 180 Grad drehen\n180° drehen"},
    {32868, "Die Seite um einen beliebigen Winkel drehen\nDrehen"},
    {32801, "Die Seite vergrößern\nVergrößern"},
    {32802, "Die Seite verkleinern\nVerkleinern"},
    {32782, "Die Seite in das Fenster einpassen\nAn Fenster anpassen"},
    {32774, "Die Seite an die Fensterbreite anpassen\nAn Breite anpassen"},
    {32781, "Die Seite an die Fensterhöhe anpassen\nAn Höhe anpassen"},
    {32773, "Die Seite in Originalgröße anzeigen\n1:1"},
    {32785, "Das Übersichtsfenster anzeigen\nÜbersichtsfenster"},
    {32787, "Eine Seite anzeigen\nAnsicht mit 1 Bild"},
    {32788, "Zwei Seiten anzeigen\nAnsicht mit 2 Bildern"},
    {32789, "Vier Seiten anzeigen\nAnsicht mit 4 Bildern"},
    {32813, "Acht Seiten anzeigen\nAnsicht mit 8 Bildern"},
    {32815, "Die Seiten zeilenweise anordnen\nReihenfolge zeilenweise"},
    {32816, "Die Seiten spaltenweise anordnen\nReihenfolge spaltenweise"},
    {32804, "Die vorherigen Seiten anzeigen\nVorherige Seite"},
    {32803, "Die nächsten Seiten anzeigen\nNächste Seite"},
    {32886, "Zu einer Seite wechseln\nGehe zu Seite"},
    {32882, "Die Seite durch erneutes Scannen ersetzen\nDurch Scan ersetzen"},
    {32890, "Seiten vor dieser Seite einscannen\nScan einfügen - davor"},
    {32891, "Seiten nach dieser Seite einscannen\nScan einfügen - dahinter"},
    {32892, "Die Seite löschen\nSeite löschen"},
    {32914, "Leere Seiten suchen und löschen\nLeere Seiten entfernen"},
    {32783, "Die Seite mit der Maus verschieben\nBildlaufwerkzeug"},
    {32784, "Mit der Maus vergrößern\nLupenwerkzeug"},
    {32806, "Die Anwendungseinstellungen ändern\nAnwendungseinstellungen"},
    {32851, "Die Symbolleiste Datei ein- oder ausblenden\nSymbolleiste Datei"},
    {32854, "Die Symbolleiste Scannen ein- oder ausblenden\nSymbolleiste Scannen"},
    {32852, "Die Symbolleiste Ansicht ein- oder ausblenden\nSymbolleiste Ansicht"},
    {32853, "Die Symbolleiste Seite ein- oder ausblenden\nSymbolleiste Seite"},
    {32866, "Die Dateiliste ein- oder ausblenden\nDateiliste"},
    {32807, "Das Handbuch öffnen\nHilfe"},
    {32848, "Die Bildinformationen anzeigen\nBildinformationen"},
    {32808, "Die Programmversion anzeigen\nInfo"},
    {32894, "Die Plug-in-Funktion ausführen\nPlug-in-Funktion"},
};

// Dialog 165: the question that applies to several files.
constexpr VistelResDialogText kDialogTexts[] = {
    {165, 0, "Meldung"},
    {165, 1034, "Ja, &alle"},
    {165, 1091, "&Ja"},
    {165, 1092, "&Nein"},
};

// Menu 128 (the menu bar) and menu 223 (the page pop-up). Menu keys follow
// res/menus.h; the accelerator text after the tab stays as it is.
constexpr VistelResMenuText kMenuTexts[] = {
    {res::kMenuMain, res::PopupKey(0), "&Datei"},
    {res::kMenuMain, 32826, "Ö&ffnen...\tCtrl+O"},
    {res::kMenuMain, 32818, "&Schließen"},
    {res::kMenuMain, 32893, "S&peichern"},
    {res::kMenuMain, 32819, "Seite speichern &unter..."},
    {res::kMenuMain, 57606, "Drucker&einrichtung..."},
    {res::kMenuMain, 32869, "&Drucken (an Seite anpassen)..."},
    {res::kMenuMain, 32870, "Drucken (&Originalgröße)..."},
    {res::kMenuMain, 57665, "&Beenden"},
    {res::kMenuMain, res::PopupKey(1), "&Scannen"},
    {res::kMenuMain, 32809, "&Scannen\tCtrl+S"},
    {res::kMenuMain, 32915, "&Vorschau-Scan"},
    {res::kMenuMain, 32780, "Scan&einstellung...\tCtrl+E"},
    {res::kMenuMain, 32827, "&Liste der Scaneinstellungen..."},
    {res::kMenuMain, 32880, "&Jobfunktion"},
    {res::kMenuMain, 32879, "Jobeins&tellung..."},
    {res::kMenuMain, 32881, "L&iste der Jobeinstellungen..."},
    {res::kMenuMain, 32775, "&Benutzer-Steuerblatt einrichten..."},
    {res::kMenuMain, 32876, "Scanner aus&wählen..."},
    {res::kMenuMain, res::PopupKey(2), "S&eite"},
    {res::kMenuMain, 32804, "&Vorherige Seite"},
    {res::kMenuMain, 32803, "&Nächste Seite"},
    {res::kMenuMain, 32886, "&Gehe zu Seite..."},
    {res::kMenuMain, 32882, "Durch Scan &ersetzen"},
    {res::kMenuMain, 32890, "Scan einfügen - &davor"},
    {res::kMenuMain, 32891, "Scan einfügen - da&hinter"},
    {res::kMenuMain, 32892, "Seite &löschen"},
    {res::kMenuMain, 32914, "Leere Seiten ent&fernen..."},
    {res::kMenuMain, res::PopupKey(3), "&Bild"},
    {res::kMenuMain, 32884, "&Rückgängig"},
    {res::kMenuMain, 32875, "&Zuschneiden"},
    {res::kMenuMain, 32798, "&90° drehen"},
    {res::kMenuMain, 32799, "-9&0° drehen"},
    {res::kMenuMain, 32867, "1&80° drehen"},
    {res::kMenuMain, 32868, "&Drehen..."},
    {res::kMenuMain, 32848, "Bild&informationen..."},
    {res::kMenuMain, res::PopupKey(4), "&Ansicht"},
    {res::kMenuMain, 32801, "Ver&größern"},
    {res::kMenuMain, 32802, "Ver&kleinern"},
    {res::kMenuMain, 32782, "An &Fenster anpassen"},
    {res::kMenuMain, 32774, "An &Breite anpassen"},
    {res::kMenuMain, 32781, "An &Höhe anpassen"},
    {res::kMenuMain, 32773, "&1:1"},
    {res::kMenuMain, 32785, "Über&sichtsfenster"},
    {res::kMenuMain, res::SubmenuKey(4, 9), "&Aufteilung"},
    {res::kMenuMain, 32787, "&1"},
    {res::kMenuMain, 32788, "&2"},
    {res::kMenuMain, 32789, "&4"},
    {res::kMenuMain, 32813, "&8"},
    {res::kMenuMain, res::SubmenuKey(4, 10), "&Reihenfolge"},
    {res::kMenuMain, 32815, "&Zeilenweise"},
    {res::kMenuMain, 32816, "&Spaltenweise"},
    {res::kMenuMain, res::SubmenuKey(4, 12), "Symbol&leisten"},
    {res::kMenuMain, 32851, "&Datei"},
    {res::kMenuMain, 32854, "&Scannen"},
    {res::kMenuMain, 32852, "&Ansicht"},
    {res::kMenuMain, 32853, "S&eite"},
    {res::kMenuMain, 32866, "Datei&liste"},
    {res::kMenuMain, res::PopupKey(5), "&Werkzeuge"},
    {res::kMenuMain, 32783, "&Bildlaufwerkzeug"},
    {res::kMenuMain, 32784, "&Lupenwerkzeug"},
    {res::kMenuMain, res::PopupKey(6), "&Optionen"},
    {res::kMenuMain, 32806, "&Anwendungseinstellungen..."},
    {res::kMenuMain, res::PopupKey(7), "&Hilfe"},
    {res::kMenuMain, 32807, "&Hilfe"},
    {res::kMenuMain, 32808, "&Info..."},
    {res::kMenuPageEdit, res::PopupKey(0), "Seitenbearbeitung"},
    {res::kMenuPageEdit, 32875, "&Zuschneiden"},
    {res::kMenuPageEdit, 32798, "&90° drehen"},
    {res::kMenuPageEdit, 32799, "-9&0° drehen"},
    {res::kMenuPageEdit, 32867, "1&80° drehen"},
    {res::kMenuPageEdit, 32868, "&Drehen..."},
    {res::kMenuPlugIn, res::PopupKey(0), "&Plug-in"},
    {res::kMenuPlugIn, 32894, "&Funktion"},
};

constexpr VistelResTable kTable = VistelMakeResTable(0x0407, "Deutsch", kStrings, kDialogTexts, kMenuTexts);

}  // namespace

extern "C" __attribute__((visibility("default"))) const VistelResTable* VistelResourceTable(void) {
  return &kTable;
}
