// The popup menu: the game's menu tree, opened where the player asked for it, taken by the mouse, by
// touch and by the arrow keys, Enter, Space and Esc as the window's menus are.
import { page, px, stage } from "./page.js";
import { input, text } from "./engine.js";
import { keepSave } from "./saves.js";
import { swallowNextPress } from "./input.js";

export function menuOpen() {
    return openMenus.length > 0;
}

const openMenus = []; // the menu and its open submenus, outermost first
const menuTimers = []; // per level: a submenu waiting to open or close

export function closeMenu(level = 0) {
    while (openMenus.length > level) openMenus.pop().remove();
    for (const t of menuTimers.splice(level)) clearTimeout(t);
    if (level > 0) openMenus[level - 1]?.querySelector(".item.active")?.classList.remove("active");
}

// Any press outside the menus closes them, and that press does nothing else.
document.addEventListener(
    "pointerdown",
    (e) => {
        if (!openMenus.length || e.target.closest?.(".menu")) return;
        closeMenu();
        if (e.target instanceof Element && stage.contains(e.target)) swallowNextPress();
    },
    true,
);

export function showMenu(x, y) {
    closeMenu();
    if (!page.running) return;
    const menu = buildMenu(text("_rumena_menu_items"), 0);
    document.body.append(menu);
    openMenus.push(menu);
    placeMenu(menu, x, y, null);
}

// Places a menu inside the page: at the point, or beside the row it opens from, flipped to the other
// side or moved up when it would leave the page, and scrolled when it is taller than the page.
function placeMenu(menu, x, y, row) {
    const margin = 4;
    menu.style.maxHeight = px(innerHeight - 2 * margin);
    const r = menu.getBoundingClientRect();
    let left = x,
        top = y;
    if (row) {
        const at = row.getBoundingClientRect();
        left = at.right - 2;
        top = at.top - 3;
        if (left + r.width > innerWidth - margin) left = at.left - r.width + 2;
    }
    left = Math.max(margin, Math.min(left, innerWidth - r.width - margin));
    top = Math.max(margin, Math.min(top, innerHeight - r.height - margin));
    menu.style.left = px(left);
    menu.style.top = px(top);
}

function openSubmenu(row, item, level) {
    clearTimeout(menuTimers[level]);
    if (openMenus[level + 1]?.dataset.of === row.dataset.key) return;
    closeMenu(level + 1);
    row.classList.add("active");
    const sub = buildMenu(item.items, level + 1);
    sub.dataset.of = row.dataset.key;
    document.body.append(sub);
    openMenus.push(sub);
    placeMenu(sub, 0, 0, row);
}

// The menus by keys, as the window's: Up and Down move in the innermost menu, Right, Enter and Space
// open a submenu at its first row, Left and Esc close the innermost menu, Enter and Space choose.
export function menuKey(e) {
    const level = openMenus.length - 1;
    const rows = [...openMenus[level].querySelectorAll(":scope > .item:not(.disabled)")];
    const at = rows.findIndex((r) => r.classList.contains("active"));
    const activate = (row) => {
        rows[at]?.classList.remove("active");
        row?.classList.add("active");
        row?.scrollIntoView({ block: "nearest" });
    };
    const choose = e.key === "Enter" || e.key === " ";
    if (e.key === "ArrowDown" || e.key === "ArrowUp") {
        const step = e.key === "ArrowDown" ? 1 : rows.length - 1;
        activate(rows[at < 0 ? (step === 1 ? 0 : rows.length - 1) : (at + step) % rows.length]);
    } else if ((choose && !e.repeat) || e.key === "ArrowRight") {
        const row = rows[at];
        if (!row || (!choose && !row.classList.contains("sub"))) return;
        row.click();
        const sub = openMenus[level + 1];
        if (sub && !sub.querySelector(".item.active")) sub.querySelector(".item:not(.disabled)")?.classList.add("active");
    } else if (e.key === "ArrowLeft" || e.key === "Escape") {
        if (level === 0 && e.key === "ArrowLeft") return;
        const parentRow = openMenus[level - 1]?.querySelector(".item.active");
        closeMenu(level);
        parentRow?.classList.add("active");
    } else {
        return;
    }
    e.preventDefault();
}

function buildMenu(items, level) {
    const menu = document.createElement("div");
    menu.className = "menu";
    menu.setAttribute("role", "menu");
    // Reaching the submenu keeps it open, whatever rows the pointer crossed on its way.
    menu.addEventListener("pointerenter", () => {
        if (level > 0) clearTimeout(menuTimers[level - 1]);
    });
    for (const item of items) {
        if (!item.visible) continue;
        if (item.caption === "-") {
            menu.append(document.createElement("hr"));
            continue;
        }
        const row = document.createElement("div");
        row.className = "item";
        row.setAttribute("role", "menuitem");
        row.dataset.menu = item.name;
        row.dataset.index = item.index;
        row.dataset.key = `${item.name}/${item.index}`;
        row.textContent = item.caption.replace(/&(.)/g, "$1");
        if (item.checked) row.classList.add("checked");
        if (!item.enabled) row.classList.add("disabled");
        const sub = item.items.length > 0;
        if (sub) row.classList.add("sub");
        // A submenu opens at once where none is open, and after a moment where another is, so that a
        // diagonal path toward the open one does not close it.
        row.addEventListener("pointerenter", (e) => {
            if (e.pointerType === "touch") return;
            clearTimeout(menuTimers[level]);
            const other = openMenus[level + 1];
            if (sub && !other) openSubmenu(row, item, level);
            else if (other && other.dataset.of !== row.dataset.key)
                menuTimers[level] = setTimeout(() => (sub ? openSubmenu(row, item, level) : closeMenu(level + 1)), 300);
        });
        row.addEventListener("click", (e) => {
            e.stopPropagation();
            if (sub) {
                if (item.enabled) openSubmenu(row, item, level);
                return;
            }
            if (!item.enabled) return;
            closeMenu();
            const outcome = input("rumena_menu", item.name, item.index);
            // An item of a submenu may have saved or loaded the game: the save slot is kept.
            if (outcome === 0 && level > 0) keepSave();
        });
        menu.append(row);
    }
    return menu;
}
