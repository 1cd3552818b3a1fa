#!/usr/bin/env python3
"""Writes the mini UI's language files into minilng below the program folder.

  lngEng.ini  English (also the fallback of every language without a file)
  lngGER.ini  German  (layout flag 1: the options panel is wider)
  lngFRN.ini  French  (layout flags 17: the options and presentation panels are wider)

Despite the ".ini" a language file is UTF-16 little-endian text with a
byte-order mark: four sections (output, resolution, presentation, options
panel), each a count line and that many text lines, every line ending with
a blank, an underscore and CR LF. The last options entry is the hint shown
the first time the user hides the mini UI. No text may hold an underscore.
Same input, same bytes.

Usage: make_miniui_lang.py <program folder>"""
import os
import sys

# Each table in the order the panels read it (by index).
ENGLISH = {
    "output": [
        "LCD only", "CRT only", "TV only", "HDMI only", "HDMI 2 only",
        "Clone", "Extend",
        "Show the desktop on the notebook's screen only",
        "Show the desktop on the external monitor only",
        "Show the same picture on the notebook's screen and the external monitor",
        "Extend the desktop onto the external monitor",
        "Open the graphics options of",
        "Show the VLM miniUI options",
        "Connect an external display to choose where the desktop is shown",
        "Change the display output",
    ],
    "resolution": [
        "Best resolution",
        "Set every display to its best resolution",
        "Open the display settings of Windows",
        "Show the VLM miniUI options",
    ],
    "presentation": [
        "Presentation mode",
        "While presenting:",
        "Plain wallpaper", "Mute the sound", "No screen saver", "No power saving",
        "Extend the desktop", "Clone the desktop",
        "Magnifier",
        "Switch presentation mode on or off",
        "Show a plain wallpaper while presenting",
        "Click to choose the presentation wallpaper",
        "Mute the sound while presenting",
        "Switch the screen saver off while presenting",
        "Keep the screen and the computer awake while presenting",
        "Extend the desktop onto the external display",
        "Show the same picture on both displays",
        "",
        "Show the VLM miniUI options",
        "Magnify the screen around the pointer",
        "Press the key again to close the magnifier",
        "Move the pointer to move the magnified area",
        "End presentation",
    ],
    "options": [
        "VLM miniUI options",
        "When a monitor is connected",
        "Show VLM miniUI", "Hide it again after 20 seconds", "Only for new monitors",
        "Hotkeys",
        "Show VLM miniUI: Win +", "Magnifier: Win +",
        "Panels",
        "Show VLM miniUI when a display is connected",
        "Hide VLM miniUI when it is not clicked within 20 seconds after it appeared by itself",
        "Show VLM miniUI only for a monitor that was never connected before",
        "The key that shows VLM miniUI together with the Windows key",
        "The key that opens the magnifier together with the Windows key",
        "Untick to leave out the display output panel",
        "Untick to leave out the resolution panel",
        "Untick to leave out the presentation panel",
        "VLM miniUI (Valmora) comes back with Win+F4. You can choose another key in its options.",
    ],
}

GERMAN = {
    "output": [
        "Nur LCD", "Nur CRT", "Nur TV", "Nur HDMI", "Nur HDMI 2",
        "Klonen", "Erweitern",
        "Den Desktop nur auf dem Bildschirm des Notebooks zeigen",
        "Den Desktop nur auf dem externen Monitor zeigen",
        "Dasselbe Bild auf dem Notebook und dem externen Monitor zeigen",
        "Den Desktop auf den externen Monitor erweitern",
        "Grafikoptionen \u00f6ffnen von",
        "Die Optionen von VLM miniUI zeigen",
        "Schlie\u00dfen Sie einen externen Bildschirm an, um die Ausgabe zu w\u00e4hlen",
        "Bildschirmausgabe \u00e4ndern",
    ],
    "resolution": [
        "Beste Aufl\u00f6sung",
        "Jeden Bildschirm auf seine beste Aufl\u00f6sung stellen",
        "Die Anzeigeeinstellungen von Windows \u00f6ffnen",
        "Die Optionen von VLM miniUI zeigen",
    ],
    "presentation": [
        "Pr\u00e4sentationsmodus",
        "W\u00e4hrend der Pr\u00e4sentation:",
        "Schlichter Hintergrund", "Ton aus", "Kein Bildschirmschoner", "Kein Energiesparen",
        "Desktop erweitern", "Desktop klonen",
        "Lupe",
        "Pr\u00e4sentationsmodus ein- oder ausschalten",
        "W\u00e4hrend der Pr\u00e4sentation einen schlichten Hintergrund zeigen",
        "Klicken, um den Hintergrund der Pr\u00e4sentation zu w\u00e4hlen",
        "W\u00e4hrend der Pr\u00e4sentation den Ton ausschalten",
        "W\u00e4hrend der Pr\u00e4sentation den Bildschirmschoner ausschalten",
        "Bildschirm und Computer w\u00e4hrend der Pr\u00e4sentation wach halten",
        "Den Desktop auf den externen Bildschirm erweitern",
        "Dasselbe Bild auf beiden Bildschirmen zeigen",
        "",
        "Die Optionen von VLM miniUI zeigen",
        "Den Bildschirm um den Mauszeiger vergr\u00f6\u00dfern",
        "Die Taste erneut dr\u00fccken, um die Lupe zu schlie\u00dfen",
        "Den Mauszeiger bewegen, um den Ausschnitt zu verschieben",
        "Pr\u00e4sentation beenden",
    ],
    "options": [
        "Optionen von VLM miniUI",
        "Wenn ein Monitor angeschlossen wird",
        "VLM miniUI zeigen", "Nach 20 Sekunden wieder ausblenden", "Nur f\u00fcr neue Monitore",
        "Tastenk\u00fcrzel",
        "VLM miniUI zeigen: Win +", "Lupe: Win +",
        "Bereiche",
        "VLM miniUI zeigen, wenn ein Bildschirm angeschlossen wird",
        "VLM miniUI ausblenden, wenn es 20 Sekunden nach dem Erscheinen nicht angeklickt wurde",
        "VLM miniUI nur f\u00fcr einen Monitor zeigen, der noch nie angeschlossen war",
        "Die Taste, die mit der Windows-Taste VLM miniUI zeigt",
        "Die Taste, die mit der Windows-Taste die Lupe \u00f6ffnet",
        "Abw\u00e4hlen, um den Bereich der Bildschirmausgabe wegzulassen",
        "Abw\u00e4hlen, um den Bereich der Aufl\u00f6sung wegzulassen",
        "Abw\u00e4hlen, um den Bereich der Pr\u00e4sentation wegzulassen",
        "VLM miniUI (Valmora) kommt mit Win+F4 zur\u00fcck. In den Optionen k\u00f6nnen Sie eine andere Taste w\u00e4hlen.",
    ],
}

FRENCH = {
    "output": [
        "LCD seul", "CRT seul", "TV seul", "HDMI seul", "HDMI 2 seul",
        "Cloner", "\u00c9tendre",
        "Afficher le bureau sur l'\u00e9cran du portable seulement",
        "Afficher le bureau sur le moniteur externe seulement",
        "Afficher la m\u00eame image sur le portable et le moniteur externe",
        "\u00c9tendre le bureau sur le moniteur externe",
        "Ouvrir les options graphiques de",
        "Afficher les options de VLM miniUI",
        "Branchez un \u00e9cran externe pour choisir o\u00f9 afficher le bureau",
        "Changer la sortie d'affichage",
    ],
    "resolution": [
        "Meilleure r\u00e9solution",
        "Mettre chaque \u00e9cran \u00e0 sa meilleure r\u00e9solution",
        "Ouvrir les param\u00e8tres d'affichage de Windows",
        "Afficher les options de VLM miniUI",
    ],
    "presentation": [
        "Mode pr\u00e9sentation",
        "Pendant la pr\u00e9sentation :",
        "Fond d'\u00e9cran uni", "Couper le son", "Pas d'\u00e9conomiseur", "Pas de mise en veille",
        "\u00c9tendre le bureau", "Cloner le bureau",
        "Loupe",
        "Activer ou d\u00e9sactiver le mode pr\u00e9sentation",
        "Afficher un fond d'\u00e9cran uni pendant la pr\u00e9sentation",
        "Cliquer pour choisir le fond d'\u00e9cran de la pr\u00e9sentation",
        "Couper le son pendant la pr\u00e9sentation",
        "D\u00e9sactiver l'\u00e9conomiseur d'\u00e9cran pendant la pr\u00e9sentation",
        "Garder l'\u00e9cran et l'ordinateur \u00e9veill\u00e9s pendant la pr\u00e9sentation",
        "\u00c9tendre le bureau sur l'\u00e9cran externe",
        "Afficher la m\u00eame image sur les deux \u00e9crans",
        "",
        "Afficher les options de VLM miniUI",
        "Agrandir l'\u00e9cran autour du pointeur",
        "Appuyer de nouveau sur la touche pour fermer la loupe",
        "D\u00e9placer le pointeur pour d\u00e9placer la zone agrandie",
        "Terminer la pr\u00e9sentation",
    ],
    "options": [
        "Options de VLM miniUI",
        "Quand un moniteur est branch\u00e9",
        "Afficher VLM miniUI", "Masquer apr\u00e8s 20 secondes", "Seulement les nouveaux moniteurs",
        "Raccourcis",
        "Afficher VLM miniUI : Win +", "Loupe : Win +",
        "Panneaux",
        "Afficher VLM miniUI quand un \u00e9cran est branch\u00e9",
        "Masquer VLM miniUI s'il n'est pas cliqu\u00e9 dans les 20 secondes apr\u00e8s son apparition",
        "Afficher VLM miniUI seulement pour un moniteur jamais branch\u00e9 auparavant",
        "La touche qui affiche VLM miniUI avec la touche Windows",
        "La touche qui ouvre la loupe avec la touche Windows",
        "D\u00e9cocher pour retirer le panneau de sortie d'affichage",
        "D\u00e9cocher pour retirer le panneau de r\u00e9solution",
        "D\u00e9cocher pour retirer le panneau de pr\u00e9sentation",
        "VLM miniUI (Valmora) revient avec Win+F4. Vous pouvez choisir une autre touche dans ses options.",
    ],
}

FILES = {"lngEng.ini": ENGLISH, "lngGER.ini": GERMAN, "lngFRN.ini": FRENCH}
SECTIONS = ("output", "resolution", "presentation", "options")
MAX_TEXT = 259  # a panel's buffer holds 260 characters with the end


def encode(table):
    lines = []
    for section in SECTIONS:
        texts = table[section]
        lines.append("%d" % len(texts))
        for text in texts:
            assert "_" not in text and len(text) <= MAX_TEXT, text
            lines.append(text)
    body = "".join(line + " _\r\n" for line in lines)
    return b"\xff\xfe" + body.encode("utf-16-le")


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    folder = os.path.join(sys.argv[1], "minilng")
    os.makedirs(folder, exist_ok=True)
    for counts in zip(*(map(len, (t[s] for s in SECTIONS)) for t in FILES.values())):
        assert len(set(counts)) == 1, "every language has the same entries"
    for name, table in FILES.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(encode(table))


if __name__ == "__main__":
    main()
