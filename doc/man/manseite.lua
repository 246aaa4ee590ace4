-- pandoc filter: a manual page from the Markdown docs (doc/*.md), so that the
-- docs and the manual pages have one source.  Metadata given by the build:
--   title, section, footer, header   for the page's .TH line
--   seite      one "name:section:file,file" per manual page of the project
--              (links to those files become references to the page)
--   weglassen  headings of the sections left out (development matter:
--              tests, demo, benchmarks, pictures)
-- The first document heading gives the NAME line ("Name — what it is"), a
-- code block of class "synopsis" the SYNOPSIS, the text before the first
-- section the DESCRIPTION.  Sections become .SH (upper case), their
-- subsections .SS; the heading of a further input file becomes .SH.
-- Pictures are left out; tables become tagged paragraphs (below).

local stringify = pandoc.utils.stringify

local function liste(wert)
  if wert == nil then return {} end
  if type(wert) == 'string' then return { wert } end
  if wert.t == 'MetaInlines' or wert.t == 'MetaString' or
     (type(wert[1]) == 'table' and (wert[1].t == 'Str' or wert[1].t == 'Space')) then
    return { stringify(wert) }
  end
  local l = {}
  for _, w in ipairs(wert) do l[#l + 1] = stringify(w) end
  return l
end

local function gross(inlines)
  return pandoc.walk_inline(pandoc.Span(inlines), {
    Str = function(s) return pandoc.Str(pandoc.text.upper(s.text)) end
  }).content
end

-- A table becomes a list of tagged paragraphs (.TP), one per row: the
-- first cell the tag, each further cell a paragraph, headed by its
-- column's title where there are more than two columns.  A table set by
-- tbl breaks no row across pages, so a tall row warns depending on where
-- it happens to fall for the reader's width; tagged paragraphs read the
-- same at every width.
function Table(t)
  local kopf = {}
  for _, zeile in ipairs(t.head.rows) do
    for i, z in ipairs(zeile.cells) do kopf[i] = stringify(z.contents) end
  end
  local eintraege = {}
  for _, k in ipairs(t.bodies) do
    for _, zeile in ipairs(k.body) do
      local zellen = zeile.cells
      local begriff = pandoc.utils.blocks_to_inlines(zellen[1].contents)
      local erklaerung = {}
      for i = 2, #zellen do
        local inhalt = pandoc.utils.blocks_to_inlines(zellen[i].contents)
        if #zellen > 2 and kopf[i] and kopf[i] ~= '' then
          local mit_titel = pandoc.List({ pandoc.Emph({ pandoc.Str(kopf[i] .. ':') }), pandoc.Space() })
          mit_titel:extend(inhalt)
          inhalt = mit_titel
        end
        erklaerung[#erklaerung + 1] = pandoc.Para(inhalt)
      end
      -- a bar inside code is written \| in a table's row
      local bar = { Code = function(c) c.text = c.text:gsub('\\|', '|'); return c end }
      begriff = pandoc.walk_inline(pandoc.Span(begriff), bar).content
      for i, b in ipairs(erklaerung) do erklaerung[i] = pandoc.walk_block(b, bar) end
      eintraege[#eintraege + 1] = { begriff, { erklaerung } }
    end
  end
  return pandoc.DefinitionList(eintraege)
end

function Pandoc(doc)
  local meta = doc.meta
  local titel = stringify(meta.title or '')
  local abschnitt = stringify(meta.section or '')

  -- file name -> reference to its manual page
  local verweise, seiten = {}, {}
  for _, s in ipairs(liste(meta.seite)) do
    local name, sek, dateien = s:match('^([^:]+):([^:]+):(.+)$')
    seiten[#seiten + 1] = { name = name, sek = sek }
    for datei in dateien:gmatch('[^,]+') do
      verweise[datei] = { name = name, sek = sek }
    end
  end
  local weglassen = {}
  for _, h in ipairs(liste(meta.weglassen)) do weglassen[h] = true end

  local verweis_filter = {
    Link = function(l)
      local datei = l.target:match('^[%w_./]-([%w_]+%.md)')
      if not datei then return nil end
      local v = verweise[datei]
      if v and not (v.name:upper() == titel:upper() and v.sek == abschnitt) then
        return { pandoc.Strong({ pandoc.Str(v.name) }), pandoc.Str('(' .. v.sek .. ')') }
      end
      return l.content
    end,
    Image = function() return {} end,
  }

  local name, synopsis, rumpf = nil, {}, {}
  local verschiebung = 1     -- heading level - 1 = level on the page
  local h1 = 0
  local auslassen = nil      -- level of the section being left out
  for _, b in ipairs(doc.blocks) do
    if b.t == 'Header' then
      if auslassen and b.level > auslassen then goto weiter end
      auslassen = nil
      local text = stringify(b.content)
      if b.level == 1 then
        h1 = h1 + 1
        if h1 == 1 then
          local was = text:match('^.-%s+—%s+(.+)$') or text:match('^.-:%s+(.+)$') or text
          name = titel:lower() .. ' - ' .. was
          goto weiter
        end
        verschiebung = 0
      end
      if weglassen[text] then
        auslassen = b.level
        goto weiter
      end
      local ebene = math.max(1, math.min(2, b.level - verschiebung))
      local inhalt = b.content
      if ebene == 1 then inhalt = gross(inhalt) end
      rumpf[#rumpf + 1] = pandoc.Header(ebene, inhalt)
    elseif not auslassen then
      if b.t == 'CodeBlock' and b.classes:includes('synopsis') then
        synopsis[#synopsis + 1] = b
      else
        local neu = pandoc.walk_block(b, verweis_filter)
        -- a paragraph of pictures alone is left out whole
        if not (neu.t == 'Para' and #stringify(neu) == 0) then
          rumpf[#rumpf + 1] = neu
        end
      end
    end
    ::weiter::
  end

  local bloecke = { pandoc.RawBlock('man', '.ad l'), pandoc.Header(1, 'NAME'),
                    pandoc.Para({ pandoc.Str(name or titel:lower()) }) }
  if #synopsis > 0 then
    bloecke[#bloecke + 1] = pandoc.Header(1, 'SYNOPSIS')
    for _, s in ipairs(synopsis) do bloecke[#bloecke + 1] = s end
  end
  if #rumpf == 0 or rumpf[1].t ~= 'Header' or rumpf[1].level ~= 1 then
    bloecke[#bloecke + 1] = pandoc.Header(1, 'DESCRIPTION')
  end
  for _, b in ipairs(rumpf) do bloecke[#bloecke + 1] = b end

  local andere = {}
  for _, s in ipairs(seiten) do
    if not (s.name:upper() == titel:upper() and s.sek == abschnitt) then
      if #andere > 0 then andere[#andere + 1] = pandoc.Str(', ') end
      andere[#andere + 1] = pandoc.Strong({ pandoc.Str(s.name) })
      andere[#andere + 1] = pandoc.Str('(' .. s.sek .. ')')
    end
  end
  if #andere > 0 then
    andere[#andere + 1] = pandoc.Str(', ')
    andere[#andere + 1] = pandoc.Strong({ pandoc.Str('tclsh') })
    andere[#andere + 1] = pandoc.Str('(1); the documentation in /usr/share/doc/tcl-druckmessung/.')
    bloecke[#bloecke + 1] = pandoc.Header(1, 'SEE ALSO')
    bloecke[#bloecke + 1] = pandoc.Para(andere)
  end
  return pandoc.Pandoc(bloecke, meta)
end

return { { Table = Table }, { Pandoc = Pandoc } }
