"""The Help button opens the local help page, or says where it is when nothing can."""

import os
import stat

from desktop import DesktopTest, wait_for


class HelpPage(DesktopTest):
    def prepare(self, desk):
        # A PATH of our own: no desktop's opener is found but the one put there.
        self.bin = os.path.join(desk.home, "bin")
        os.makedirs(self.bin)
        self.opened = os.path.join(desk.home, "opened")
        desk.extra_env.update({"PATH": self.bin, "XDG_CURRENT_DESKTOP": "", "KDE_FULL_SESSION": "",
                               "GNOME_DESKTOP_SESSION_ID": "", "DESKTOP_SESSION": ""})

    def read_opened(self):
        with open(self.opened, encoding="utf-8") as opened:
            return opened.read().strip()

    def press_help(self):
        self.desk.click(self.desk.find("push button", "Help"))

    def test_without_a_browser_the_user_is_told_the_pages_file(self):
        desk = self.desk
        self.press_help()
        notice = desk.wait_window("Organizer Alert!")
        text = " ".join(label.name for label in desk.find_all("label", within=notice))
        self.assertIn("No web browser could open the help page", text)
        page = text[text.index("/"):].split()[0]
        self.assertTrue(page.endswith("/help/index.html"), text)
        self.assertTrue(os.path.isfile(page), f"the named page {page!r} is not there")

    def install_opener(self):
        opener = os.path.join(self.bin, "xdg-open")
        with open(opener, "w", encoding="utf-8") as script:
            script.write(f"#!/bin/sh\necho \"$1\" > '{self.opened}'\n")
        os.chmod(opener, stat.S_IRWXU)

    def expect_page_opened(self):
        url = wait_for("the page handed to the opener", self.read_opened)
        self.assertTrue(url.startswith("file:///") and url.endswith("/help/index.html"), url)
        self.assertTrue(os.path.isfile(url[len("file://"):]))
        self.assertIsNone(self.desk.window("Organizer Alert!"))

    def test_with_an_opener_the_local_page_is_opened(self):
        self.install_opener()
        self.press_help()
        self.expect_page_opened()

    def test_f1_opens_it_from_the_keyboard(self):
        self.install_opener()
        self.desk.click(self.desk.find("tree", "Tasks"))
        self.desk.key("F1")
        self.expect_page_opened()
