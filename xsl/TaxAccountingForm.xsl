<?xml version="1.0" encoding="UTF-8"?>
<!--
  Salary certificates (Lohnausweis, form 11) from a salary declaration document.

  One A4 page per staff block, in the language of that block: German, or French or Italian when the
  block carries xml:lang="fr" / "it" (the program decides it from the settings and the employee's
  postal code). The form's texts stand in one table per language (t:texts below); the layout is one.
  Elements are matched by their local name only: the namespace base of the declaration is chosen by
  the program that writes the document, and the style sheet must work with any base. XSLT 1.0, so that
  the XSLT processor that comes with FOP/the Java runtime runs it.

  Amounts print with the Swiss thousands separator (106'800) and otherwise exactly as the document gives
  them: the decimals as they are, anything that is not a number unchanged (only surrounding blanks are
  dropped; the database delivers fixed-width texts with trailing blanks); an amount of 0 or none leaves
  its line empty, as on the official form, but for the totals 8 and 11. Dates arrive as yyyy-mm-dd and
  print as dd.mm.yyyy in every language. Every text from the database is fitted into its box (see
  "fit"); the remarks break words by the language's hyphenation patterns (fop/hyph).

  Speed: FOP lays out every page anew, and the cost grows with the number of formatting objects and
  above all with tables. So the items are one block per line, the label's column reached by the
  number's right padding and the amount's by one leader, the padding computed from the font's advance
  widths, the amount fields drawn as the background of the amount itself; a text gets an fo:inline of
  its own only when it is set at another size.

  The fonts are those that fop/fop.xconf embeds: Liberation Sans for all text, DejaVu Sans for the
  check-box glyphs and any character that Liberation Sans lacks.
-->
<xsl:stylesheet version="1.0"
                xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
                xmlns:fo="http://www.w3.org/1999/XSL/Format"
                xmlns:t="urn:lohnausweis:form-texts"
                exclude-result-prefixes="t">

  <xsl:output method="xml" encoding="UTF-8" indent="no"/>

  <!-- ============================================================ the form's texts -->
  <!--
    The wording of the official form in its German, French and Italian editions. Box letters and item
    numbers are the same in all three. "art" stands before the text of an item that names its kind.
  -->
  <t:texts>
    <t:lang code="de" title="Lohnausweis" annuity="Rentenbescheinigung" form="Formular 11" titles="Lohnausweise"
            year="Jahr" period="Periode" from="von" until="bis" ahv="AHV-Nr." new-ahv="Neue AHV-Nr."
            free="Unentgeltliche Beförderung zwischen Wohn- und Arbeitsort" canteen="Kantinenverpflegung / Lunch-Checks"
            item="Ziffer" art="Art:"
            i1="Lohn soweit nicht unter Ziffer 2–7 aufzuführen / Rente" i2="Gehaltsnebenleistungen"
            i2.1="Verpflegung, Unterkunft" i2.2="Privatanteil Geschäftsfahrzeug" i2.3="Andere"
            i3="Unregelmässige Leistungen" i4="Kapitalleistungen" i5="Beteiligungsrechte gemäss Beiblatt"
            i6="Verwaltungsratsentschädigungen" i7="Andere Leistungen" i8="Bruttolohn total / Rente"
            i9="Beiträge AHV/IV/EO/ALV/NBUV" i10="Berufliche Vorsorge 2. Säule" i10.1="Ordentliche Beiträge"
            i10.2="Beiträge für den Einkauf" i11="Nettolohn / Rente" i11-note="in die Steuererklärung übertragen"
            i12="Quellensteuerabzug" i13="Spesenvergütungen" i13-note="nicht im Bruttolohn gemäss Ziffer 8 enthalten"
            i13.1="Effektive Spesen" i13.1.1="Reise, Verpflegung, Übernachtung" i13.1.2="Übrige"
            i13.2="Pauschalspesen" i13.2.1="Repräsentation" i13.2.2="Auto" i13.2.3="Übrige"
            i13.3="Beiträge an die Weiterbildung" i14="Weitere Gehaltsnebenleistungen" i15="Bemerkungen"
            place-date="Ort und Datum"
            confirm="Die Richtigkeit und Vollständigkeit bestätigt inkl. genauer Anschrift und Telefonnummer des Arbeitgebers"
            contact="Auskunft:" phone="Telefon:" created="Erstellt am"/>
    <t:lang code="fr" title="Certificat de salaire" annuity="Attestation de rentes" form="Formulaire 11"
            titles="Certificats de salaire" year="Année" period="Période" from="du" until="au" ahv="No AVS"
            new-ahv="Nouveau No AVS" free="Transport gratuit entre le domicile et le lieu de travail"
            canteen="Repas à la cantine / chèques-repas" item="Chiffre" art="genre :"
            i1="Salaire qui ne concerne pas les chiffres 2 à 7 / Rente" i2="Prestations salariales accessoires"
            i2.1="Pension, logement" i2.2="Part privée voiture de service" i2.3="Autres"
            i3="Prestations non périodiques" i4="Prestations en capital" i5="Droits de participation selon annexe"
            i6="Indemnités des membres de l'administration" i7="Autres prestations" i8="Salaire brut total / Rente"
            i9="Cotisations AVS/AI/APG/AC/AANP" i10="Prévoyance professionnelle 2e pilier"
            i10.1="Cotisations ordinaires" i10.2="Cotisations pour le rachat" i11="Salaire net / Rente"
            i11-note="à reporter dans la déclaration d'impôt" i12="Retenue de l'impôt à la source"
            i13="Allocations pour frais" i13-note="non comprises sous chiffre 8" i13.1="Frais effectifs"
            i13.1.1="Voyage, repas, nuitées" i13.1.2="Autres" i13.2="Frais forfaitaires" i13.2.1="Représentation"
            i13.2.2="Voiture" i13.2.3="Autres" i13.3="Contributions au perfectionnement"
            i14="Autres prestations salariales accessoires" i15="Observations" place-date="Lieu et date"
            confirm="L'exactitude et l'intégralité sont certifiées, y compris adresse exacte et numéro de téléphone de l'employeur"
            contact="Renseignements :" phone="Téléphone :" created="Établi le"/>
    <t:lang code="it" title="Certificato di salario" annuity="Attestazione di rendita" form="Modulo 11"
            titles="Certificati di salario" year="Anno" period="Periodo" from="dal" until="al" ahv="N. AVS"
            new-ahv="Nuovo N. AVS" free="Trasporto gratuito tra il domicilio e il luogo di lavoro"
            canteen="Pasti alla mensa / buoni pasto" item="Cifra" art="genere:"
            i1="Salario che non concerne le cifre 2–7 / Rendita" i2="Prestazioni salariali accessorie"
            i2.1="Vitto, alloggio" i2.2="Quota privata automobile di servizio" i2.3="Altre"
            i3="Prestazioni non periodiche" i4="Prestazioni in capitale" i5="Diritti di partecipazione secondo allegato"
            i6="Indennità dei membri del consiglio d'amministrazione" i7="Altre prestazioni"
            i8="Salario lordo totale / Rendita" i9="Contributi AVS/AI/IPG/AD/AINP"
            i10="Previdenza professionale 2° pilastro" i10.1="Contributi ordinari" i10.2="Contributi per il riscatto"
            i11="Salario netto / Rendita" i11-note="da riportare nella dichiarazione d'imposta"
            i12="Ritenuta d'imposta alla fonte" i13="Indennità per spese" i13-note="non comprese nella cifra 8"
            i13.1="Spese effettive" i13.1.1="Viaggio, vitto, alloggio" i13.1.2="Altre" i13.2="Spese forfettarie"
            i13.2.1="Rappresentanza" i13.2.2="Automobile" i13.2.3="Altre" i13.3="Contributi per il perfezionamento"
            i14="Altre prestazioni salariali accessorie" i15="Osservazioni" place-date="Luogo e data"
            confirm="L'esattezza e la completezza sono certificate, compreso l'indirizzo esatto e il numero di telefono del datore di lavoro"
            contact="Informazioni:" phone="Telefono:" created="Allestito il"/>
  </t:texts>
  <xsl:variable name="texts" select="document('')/*/t:texts/t:lang"/>

  <xsl:variable name="text-font">Liberation Sans, DejaVu Sans</xsl:variable>
  <xsl:variable name="mark-font">DejaVu Sans, Liberation Sans</xsl:variable>
  <xsl:variable name="rule">0.3pt solid #9a9a9a</xsl:variable>
  <xsl:variable name="field-colour">#f1f1f1</xsl:variable>
  <xsl:variable name="total-colour">#e1e1e1</xsl:variable>
  <xsl:variable name="label-colour">#303030</xsl:variable>
  <xsl:variable name="pt-per-mm" select="72 div 25.4"/>
  <!-- Once per document: looked up per certificate, the search through the whole document would make
       the transformation grow with the square of the certificates. -->
  <xsl:variable name="general" select="(//*[local-name()='GeneralSalaryDeclarationDescription'])[1]"/>

  <!-- The language of a staff block: its xml:lang when the form exists in it, else German. -->
  <xsl:template name="language-of">
    <xsl:param name="staff"/>
    <xsl:variable name="code" select="string($staff/@xml:lang)"/>
    <xsl:choose>
      <xsl:when test="$texts[@code = $code]"><xsl:value-of select="$code"/></xsl:when>
      <xsl:otherwise>de</xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template match="/">
    <xsl:variable name="staff" select="//*[local-name()='Staff']"/>
    <xsl:if test="not($staff)">
      <xsl:message terminate="yes">Das Dokument enthält keinen Lohnausweis (kein Element Staff).</xsl:message>
    </xsl:if>
    <!-- The document's language, for the PDF's metadata and its default: that of most certificates. -->
    <xsl:variable name="fr" select="count($staff[@xml:lang = 'fr'])"/>
    <xsl:variable name="it" select="count($staff[@xml:lang = 'it'])"/>
    <xsl:variable name="de" select="count($staff) - $fr - $it"/>
    <xsl:variable name="lang">
      <xsl:choose>
        <xsl:when test="$fr &gt; $de and $fr &gt;= $it">fr</xsl:when>
        <xsl:when test="$it &gt; $de and $it &gt; $fr">it</xsl:when>
        <xsl:otherwise>de</xsl:otherwise>
      </xsl:choose>
    </xsl:variable>
    <fo:root font-family="{$text-font}" font-size="8.5pt" language="{$lang}" country="CH" color="#000000">
      <fo:layout-master-set>
        <fo:simple-page-master master-name="certificate" page-height="297mm" page-width="210mm"
                               margin-top="10mm" margin-bottom="7mm" margin-left="15mm" margin-right="11mm">
          <fo:region-body margin-bottom="33mm"/>
          <fo:region-after extent="31mm"/>
        </fo:simple-page-master>
      </fo:layout-master-set>
      <xsl:call-template name="metadata">
        <xsl:with-param name="L" select="$texts[@code = $lang]"/>
      </xsl:call-template>
      <xsl:call-template name="bookmarks"/>
      <xsl:apply-templates select="$staff"/>
    </fo:root>
  </xsl:template>

  <!--
    Title, author and language of the PDF, shown by viewers in place of the temporary file's name. XMP
    types the Dublin Core title as a language alternative and the creator as an ordered list. The title
    is in the language of most certificates, which FOP also writes as dc:language and /Lang.
  -->
  <xsl:template name="metadata">
    <xsl:param name="L"/>
    <xsl:variable name="company" select="(//*[local-name()='CompanyDescription'])[1]"/>
    <xsl:variable name="name" select="normalize-space($company/*[local-name()='Name']/*[local-name()='HR-RC-Name'])"/>
    <xsl:variable name="title">
      <xsl:value-of select="concat($L/@titles, ' ', normalize-space($general/*[local-name()='AccountingPeriod']))"/>
      <xsl:if test="$name != ''">
        <xsl:value-of select="concat(' – ', $name)"/>
      </xsl:if>
    </xsl:variable>
    <fo:declarations>
      <x:xmpmeta xmlns:x="adobe:ns:meta/">
        <rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#">
          <rdf:Description rdf:about="" xmlns:dc="http://purl.org/dc/elements/1.1/">
            <dc:title>
              <rdf:Alt>
                <rdf:li xml:lang="x-default"><xsl:value-of select="$title"/></rdf:li>
                <rdf:li xml:lang="{$L/@code}-CH"><xsl:value-of select="$title"/></rdf:li>
              </rdf:Alt>
            </dc:title>
            <xsl:if test="$name != ''">
              <dc:creator>
                <rdf:Seq>
                  <rdf:li><xsl:value-of select="$name"/></rdf:li>
                </rdf:Seq>
              </dc:creator>
            </xsl:if>
          </rdf:Description>
        </rdf:RDF>
      </x:xmpmeta>
    </fo:declarations>
  </xsl:template>

  <!--
    The outline: one entry per company, under it one per certificate (name and AHV number), each
    pointing at the certificate's first page, in the order of the pages.
  -->
  <xsl:template name="bookmarks">
    <fo:bookmark-tree>
      <xsl:for-each select="//*[local-name()='Company'][*[local-name()='Staff']]">
        <xsl:variable name="company" select="*[local-name()='CompanyDescription']"/>
        <xsl:variable name="name" select="normalize-space($company/*[local-name()='Name']/*[local-name()='HR-RC-Name'])"/>
        <fo:bookmark internal-destination="{generate-id(*[local-name()='Staff'][1])}">
          <fo:bookmark-title>
            <xsl:value-of select="$name"/>
            <xsl:if test="$name = ''">–</xsl:if>
          </fo:bookmark-title>
          <xsl:for-each select="*[local-name()='Staff']">
            <xsl:variable name="particulars" select="*[local-name()='Person']/*[local-name()='Particulars']"/>
            <xsl:variable name="ids" select="$particulars/*[local-name()='Social-InsuranceIdentification']"/>
            <xsl:variable name="person" select="normalize-space($particulars/*[local-name()='Name'])"/>
            <xsl:variable name="number">
              <xsl:choose>
                <xsl:when test="normalize-space($ids/*[local-name()='SV-AS-Number']) != ''">
                  <xsl:value-of select="normalize-space($ids/*[local-name()='SV-AS-Number'])"/>
                </xsl:when>
                <xsl:otherwise><xsl:value-of select="normalize-space($ids/*[local-name()='AHV-AVS-Number'])"/></xsl:otherwise>
              </xsl:choose>
            </xsl:variable>
            <fo:bookmark internal-destination="{generate-id()}">
              <fo:bookmark-title>
                <xsl:value-of select="$person"/>
                <xsl:if test="$person != '' and $number != ''">, </xsl:if>
                <xsl:value-of select="$number"/>
                <xsl:if test="$person = '' and $number = ''">–</xsl:if>
              </fo:bookmark-title>
            </fo:bookmark>
          </xsl:for-each>
        </fo:bookmark>
      </xsl:for-each>
    </fo:bookmark-tree>
  </xsl:template>

  <!-- ============================================================ one certificate -->
  <xsl:template match="*[local-name()='Staff']">
    <xsl:variable name="lang">
      <xsl:call-template name="language-of">
        <xsl:with-param name="staff" select="."/>
      </xsl:call-template>
    </xsl:variable>
    <xsl:variable name="L" select="$texts[@code = $lang]"/>
    <xsl:variable name="person" select="*[local-name()='Person']"/>
    <xsl:variable name="particulars" select="$person/*[local-name()='Particulars']"/>
    <xsl:variable name="salaries" select="$person/*[local-name()='TaxSalaries']"/>
    <xsl:variable name="kind" select="$salaries/*[local-name()='TaxSalary' or local-name()='TaxAnnuity']"/>
    <!-- Without TaxSalary/TaxAnnuity the period and the amounts stand directly in TaxSalaries. -->
    <xsl:variable name="cert" select="$kind | $salaries[not($kind)]"/>
    <xsl:variable name="company" select="ancestor::*[local-name()='Company'][1]/*[local-name()='CompanyDescription']"/>

    <fo:page-sequence master-reference="certificate" language="{$lang}" country="CH">
      <fo:static-content flow-name="xsl-region-after">
        <xsl:call-template name="employer">
          <xsl:with-param name="L" select="$L"/>
          <xsl:with-param name="company" select="$company"/>
          <xsl:with-param name="general" select="$general"/>
        </xsl:call-template>
      </fo:static-content>
      <fo:flow flow-name="xsl-region-body">
        <xsl:call-template name="title">
          <xsl:with-param name="L" select="$L"/>
        </xsl:call-template>
        <xsl:call-template name="head">
          <xsl:with-param name="L" select="$L"/>
          <xsl:with-param name="particulars" select="$particulars"/>
          <xsl:with-param name="kind" select="$kind"/>
          <xsl:with-param name="cert" select="$cert"/>
          <xsl:with-param name="general" select="$general"/>
        </xsl:call-template>
        <xsl:call-template name="address">
          <xsl:with-param name="particulars" select="$particulars"/>
        </xsl:call-template>
        <xsl:call-template name="items">
          <xsl:with-param name="L" select="$L"/>
          <xsl:with-param name="c" select="$cert"/>
        </xsl:call-template>
      </fo:flow>
    </fo:page-sequence>
  </xsl:template>

  <!-- ============================================================ title -->
  <!-- Its id is where the certificate's bookmark points. -->
  <xsl:template name="title">
    <xsl:param name="L"/>
    <fo:block-container id="{generate-id()}" height="9mm" border-bottom="1.2pt solid #000000">
      <fo:block font-size="17pt" font-weight="bold" line-height="1.1" space-before="0.5mm">
        <xsl:value-of select="$L/@title"/>
        <fo:inline font-size="10pt" font-weight="normal" color="{$label-colour}">
          <xsl:value-of select="concat('  –  ', $L/@annuity)"/>
        </fo:inline>
      </fo:block>
      <fo:block-container absolute-position="absolute" top="1.2mm" right="0mm" width="60mm">
        <fo:block text-align="end" font-size="7.5pt" color="{$label-colour}"><xsl:value-of select="$L/@form"/></fo:block>
      </fo:block-container>
    </fo:block-container>
  </xsl:template>

  <!-- ============================================================ boxes A to G -->
  <xsl:template name="head">
    <xsl:param name="L"/>
    <xsl:param name="particulars"/>
    <xsl:param name="kind"/>
    <xsl:param name="cert"/>
    <xsl:param name="general"/>
    <xsl:variable name="ids" select="$particulars/*[local-name()='Social-InsuranceIdentification']"/>
    <xsl:variable name="period" select="$cert/*[local-name()='Period']"/>

    <!-- Boxes of a fixed size, placed absolutely: FOP lays out a table of them at several times the
         cost. An absolute box's left and top place its content, inside padding and border; each box
         draws its whole border, and neighbours share theirs (0.4 pt) exactly. -->
    <fo:block-container space-before="2.5mm" height="65.36pt">
      <fo:block-container xsl:use-attribute-sets="head-box" left="0mm + 1.2mm + 0.2pt" top="0pt + 1.2mm + 0.2pt"
                          width="44mm - 2.4mm - 0.4pt" height="29.47pt - 2.4mm - 0.4pt" display-align="center">
            <xsl:call-template name="check-line">
              <xsl:with-param name="letter">A</xsl:with-param>
              <xsl:with-param name="set" select="boolean($kind[local-name()='TaxSalary'])"/>
              <xsl:with-param name="label" select="$L/@title"/>
            </xsl:call-template>
      </fo:block-container>
      <fo:block-container xsl:use-attribute-sets="head-box" left="44mm + 1.2mm + 0.2pt" top="0pt + 1.2mm + 0.2pt"
                          width="48mm - 2.4mm - 0.4pt" height="29.47pt - 2.4mm - 0.4pt" display-align="center">
            <xsl:call-template name="check-line">
              <xsl:with-param name="letter">B</xsl:with-param>
              <xsl:with-param name="set" select="boolean($kind[local-name()='TaxAnnuity'])"/>
              <xsl:with-param name="label" select="$L/@annuity"/>
            </xsl:call-template>
      </fo:block-container>
      <fo:block-container xsl:use-attribute-sets="head-box" left="92mm + 1.2mm + 0.2pt" top="0pt + 1.2mm + 0.2pt"
                          width="24mm - 2.4mm - 0.4pt" height="29.47pt - 2.4mm - 0.4pt">
            <xsl:call-template name="caption">
              <xsl:with-param name="letter">D</xsl:with-param>
              <xsl:with-param name="label" select="$L/@year"/>
            </xsl:call-template>
            <fo:block xsl:use-attribute-sets="head-value">
              <xsl:call-template name="fit">
                <xsl:with-param name="text" select="normalize-space($general/*[local-name()='AccountingPeriod'])"/>
                <xsl:with-param name="width" select="21"/>
                <xsl:with-param name="size" select="9.5"/>
                <xsl:with-param name="min" select="6.5"/>
              </xsl:call-template>
            </fo:block>
      </fo:block-container>
      <fo:block-container xsl:use-attribute-sets="head-box" left="116mm + 1.2mm + 0.2pt" top="0pt + 1.2mm + 0.2pt"
                          width="68mm - 2.4mm - 0.4pt" height="29.47pt - 2.4mm - 0.4pt">
            <xsl:call-template name="caption">
              <xsl:with-param name="letter">E</xsl:with-param>
              <xsl:with-param name="label" select="$L/@period"/>
            </xsl:call-template>
            <fo:block xsl:use-attribute-sets="head-value">
              <fo:inline xsl:use-attribute-sets="inline-label"><xsl:value-of select="concat($L/@from, ' ')"/></fo:inline>
              <xsl:call-template name="fit">
                <xsl:with-param name="text">
                  <xsl:call-template name="date">
                    <xsl:with-param name="value" select="normalize-space($period/*[local-name()='from'])"/>
                  </xsl:call-template>
                </xsl:with-param>
                <xsl:with-param name="width" select="25"/>
                <xsl:with-param name="size" select="9.5"/>
                <xsl:with-param name="min" select="6.5"/>
              </xsl:call-template>
              <fo:leader leader-pattern="space" leader-length="3mm"/>
              <fo:inline xsl:use-attribute-sets="inline-label"><xsl:value-of select="concat($L/@until, ' ')"/></fo:inline>
              <xsl:call-template name="fit">
                <xsl:with-param name="text">
                  <xsl:call-template name="date">
                    <xsl:with-param name="value" select="normalize-space($period/*[local-name()='until'])"/>
                  </xsl:call-template>
                </xsl:with-param>
                <xsl:with-param name="width" select="25"/>
                <xsl:with-param name="size" select="9.5"/>
                <xsl:with-param name="min" select="6.5"/>
              </xsl:call-template>
            </fo:block>
      </fo:block-container>
      <fo:block-container xsl:use-attribute-sets="head-box" left="0mm + 1.2mm + 0.2pt" top="29.47pt + 1.2mm + 0.2pt"
                          width="44mm - 2.4mm - 0.4pt" height="35.89pt - 2.4mm - 0.4pt">
            <xsl:call-template name="caption">
              <xsl:with-param name="letter">C</xsl:with-param>
              <xsl:with-param name="label" select="$L/@ahv"/>
            </xsl:call-template>
            <fo:block xsl:use-attribute-sets="head-value">
              <xsl:call-template name="fit">
                <xsl:with-param name="text" select="normalize-space($ids/*[local-name()='AHV-AVS-Number'])"/>
                <xsl:with-param name="width" select="41"/>
                <xsl:with-param name="size" select="9.5"/>
                <xsl:with-param name="min" select="6.5"/>
              </xsl:call-template>
            </fo:block>
      </fo:block-container>
      <fo:block-container xsl:use-attribute-sets="head-box" left="44mm + 1.2mm + 0.2pt" top="29.47pt + 1.2mm + 0.2pt"
                          width="48mm - 2.4mm - 0.4pt" height="35.89pt - 2.4mm - 0.4pt">
            <fo:block xsl:use-attribute-sets="caption"><xsl:value-of select="$L/@new-ahv"/></fo:block>
            <fo:block xsl:use-attribute-sets="head-value">
              <xsl:call-template name="fit">
                <xsl:with-param name="text" select="normalize-space($ids/*[local-name()='SV-AS-Number'])"/>
                <xsl:with-param name="width" select="45"/>
                <xsl:with-param name="size" select="9.5"/>
                <xsl:with-param name="min" select="6.5"/>
              </xsl:call-template>
            </fo:block>
      </fo:block-container>
      <fo:block-container xsl:use-attribute-sets="head-box" left="92mm + 1.2mm + 0.2pt" top="29.47pt + 1.2mm + 0.2pt"
                          width="92mm - 2.4mm - 0.4pt" height="35.89pt - 2.4mm - 0.4pt" display-align="center">
            <xsl:call-template name="check-line">
              <xsl:with-param name="letter">F</xsl:with-param>
              <xsl:with-param name="set" select="boolean($cert/*[local-name()='FreeTransport'])"/>
              <xsl:with-param name="label" select="$L/@free"/>
            </xsl:call-template>
            <xsl:call-template name="check-line">
              <xsl:with-param name="letter">G</xsl:with-param>
              <xsl:with-param name="set" select="boolean($cert/*[local-name()='CanteenLunchCheck'])"/>
              <xsl:with-param name="label" select="$L/@canteen"/>
            </xsl:call-template>
      </fo:block-container>
    </fo:block-container>
  </xsl:template>

  <!-- ============================================================ box H -->
  <!--
    The address sits where a window envelope shows it: about 45 mm from the top edge of the page,
    22 mm from the left edge for a window on the left, 118 mm for a window on the right. The band
    keeps its height whatever the address, so that the items below do not move: the name may take two
    lines, every other line one, which the band holds at the normal size.
  -->
  <xsl:template name="address">
    <xsl:param name="particulars"/>
    <xsl:variable name="addr" select="$particulars/*[local-name()='Address']"/>
    <xsl:variable name="right" select="normalize-space($addr/*[local-name()='Aligmment']) = 'right'"/>
    <fo:block-container height="37.35mm">
      <fo:block font-size="10pt" line-height="1.25" padding-top="5mm" linefeed-treatment="preserve">
        <xsl:choose>
          <xsl:when test="$right">
            <xsl:attribute name="start-indent">103mm</xsl:attribute>
          </xsl:when>
          <xsl:otherwise>
            <xsl:attribute name="start-indent">7mm</xsl:attribute>
            <xsl:attribute name="end-indent">95mm</xsl:attribute>
          </xsl:otherwise>
        </xsl:choose>
        <xsl:call-template name="address-line">
          <xsl:with-param name="text" select="normalize-space($particulars/*[local-name()='Name'])"/>
          <xsl:with-param name="lines" select="2"/>
          <xsl:with-param name="first" select="true()"/>
        </xsl:call-template>
        <xsl:call-template name="address-line">
          <xsl:with-param name="text" select="normalize-space($addr/*[local-name()='ComplementaryLine'])"/>
        </xsl:call-template>
        <xsl:call-template name="address-line">
          <xsl:with-param name="text" select="normalize-space($addr/*[local-name()='Street'])"/>
        </xsl:call-template>
        <xsl:call-template name="address-line">
          <xsl:with-param name="text" select="normalize-space($addr/*[local-name()='AdditionalLine'])"/>
        </xsl:call-template>
        <xsl:call-template name="address-line">
          <xsl:with-param name="text" select="normalize-space(concat($addr/*[local-name()='ZIP-Code'], ' ', $addr/*[local-name()='City']))"/>
        </xsl:call-template>
      </fo:block>
    </fo:block-container>
  </xsl:template>

  <!-- One line of the address, an empty one left out. -->
  <xsl:template name="address-line">
    <xsl:param name="text"/>
    <xsl:param name="lines" select="1"/>
    <xsl:param name="first" select="false()"/>
    <xsl:if test="$text != ''">
      <xsl:if test="not($first)"><xsl:text>&#10;</xsl:text></xsl:if>
      <xsl:call-template name="fit">
        <xsl:with-param name="text" select="$text"/>
        <xsl:with-param name="width" select="80"/>
        <xsl:with-param name="lines" select="$lines"/>
        <xsl:with-param name="size" select="10"/>
        <xsl:with-param name="min" select="7"/>
      </xsl:call-template>
    </xsl:if>
  </xsl:template>

  <!-- ============================================================ items 1 to 15 -->
  <!--
    One block per item, 184 mm wide: the number, at 11 mm the label (indented 4 mm per level), and at
    the right the amount in its 31 mm field, a deduction's sign in the 5 mm before the field.
  -->
  <xsl:template name="items">
    <xsl:param name="L"/>
    <xsl:param name="c"/>
    <xsl:variable name="fringe" select="$c/*[local-name()='FringeBenefits']"/>
    <xsl:variable name="bvg" select="$c/*[local-name()='BVG-LPP-Contribution']"/>
    <xsl:variable name="charges" select="$c/*[local-name()='Charges']"/>
    <xsl:variable name="effective" select="$charges/*[local-name()='Effective']"/>
    <xsl:variable name="lumpsum" select="$charges/*[local-name()='LumpSum']"/>

    <!-- Fixed word spaces: the justified lines stretch the leader before the amount only. -->
    <fo:block space-before="1mm" word-spacing="0pt" line-height="13.33pt">
      <fo:block font-size="7pt" line-height="normal" text-align-last="justify" padding-bottom="0.6mm"
                border-bottom="0.8pt solid #000000" end-indent="1.5mm">
        <fo:inline color="{$label-colour}"><xsl:value-of select="$L/@item"/></fo:inline>
        <fo:leader/>
        <fo:inline font-weight="bold">CHF</fo:inline>
      </fo:block>
      <xsl:call-template name="item">
        <xsl:with-param name="num">1.</xsl:with-param>
        <xsl:with-param name="label" select="$L/@i1"/>
        <xsl:with-param name="amount" select="$c/*[local-name()='Income']"/>
      </xsl:call-template>
      <xsl:call-template name="heading">
        <xsl:with-param name="num">2.</xsl:with-param>
        <xsl:with-param name="label" select="$L/@i2"/>
      </xsl:call-template>
      <xsl:call-template name="item">
        <xsl:with-param name="num">2.1</xsl:with-param>
        <xsl:with-param name="level" select="1"/>
        <xsl:with-param name="label" select="$L/@i2.1"/>
        <xsl:with-param name="amount" select="$fringe/*[local-name()='FoodLodging']"/>
      </xsl:call-template>
      <xsl:call-template name="item">
        <xsl:with-param name="num">2.2</xsl:with-param>
        <xsl:with-param name="level" select="1"/>
        <xsl:with-param name="label" select="$L/@i2.2"/>
        <xsl:with-param name="amount" select="$fringe/*[local-name()='CompanyCar']"/>
      </xsl:call-template>
      <xsl:call-template name="item-with-text">
        <xsl:with-param name="L" select="$L"/>
        <xsl:with-param name="num">2.3</xsl:with-param>
        <xsl:with-param name="level" select="1"/>
        <xsl:with-param name="label" select="$L/@i2.3"/>
        <xsl:with-param name="node" select="$fringe/*[local-name()='Other']"/>
      </xsl:call-template>
      <xsl:call-template name="item-with-text">
        <xsl:with-param name="L" select="$L"/>
        <xsl:with-param name="num">3.</xsl:with-param>
        <xsl:with-param name="label" select="$L/@i3"/>
        <xsl:with-param name="node" select="$c/*[local-name()='SporadicBenefits']"/>
      </xsl:call-template>
      <xsl:call-template name="item-with-text">
        <xsl:with-param name="L" select="$L"/>
        <xsl:with-param name="num">4.</xsl:with-param>
        <xsl:with-param name="label" select="$L/@i4"/>
        <xsl:with-param name="node" select="$c/*[local-name()='CapitalPayment']"/>
      </xsl:call-template>
      <xsl:call-template name="item">
        <xsl:with-param name="num">5.</xsl:with-param>
        <xsl:with-param name="label" select="$L/@i5"/>
        <xsl:with-param name="amount" select="$c/*[local-name()='OwnershipRight']"/>
      </xsl:call-template>
      <xsl:call-template name="item">
        <xsl:with-param name="num">6.</xsl:with-param>
        <xsl:with-param name="label" select="$L/@i6"/>
        <xsl:with-param name="amount" select="$c/*[local-name()='BoardOfDirectorsRemuneration']"/>
      </xsl:call-template>
      <xsl:call-template name="item-with-text">
        <xsl:with-param name="L" select="$L"/>
        <xsl:with-param name="num">7.</xsl:with-param>
        <xsl:with-param name="label" select="$L/@i7"/>
        <xsl:with-param name="node" select="$c/*[local-name()='OtherBenefits']"/>
      </xsl:call-template>
      <xsl:call-template name="item">
        <xsl:with-param name="num">8.</xsl:with-param>
        <xsl:with-param name="label" select="$L/@i8"/>
        <xsl:with-param name="amount" select="$c/*[local-name()='GrossIncome']"/>
        <xsl:with-param name="total" select="true()"/>
      </xsl:call-template>
      <xsl:call-template name="item">
        <xsl:with-param name="num">9.</xsl:with-param>
        <xsl:with-param name="label" select="$L/@i9"/>
        <xsl:with-param name="amount" select="$c/*[local-name()='AHV-ALV-NBUV-AVS-AC-AANP-Contribution']"/>
        <xsl:with-param name="deduction" select="true()"/>
      </xsl:call-template>
      <xsl:call-template name="heading">
        <xsl:with-param name="num">10.</xsl:with-param>
        <xsl:with-param name="label" select="$L/@i10"/>
      </xsl:call-template>
      <xsl:call-template name="item">
        <xsl:with-param name="num">10.1</xsl:with-param>
        <xsl:with-param name="level" select="1"/>
        <xsl:with-param name="label" select="$L/@i10.1"/>
        <xsl:with-param name="amount" select="$bvg/*[local-name()='Regular']"/>
        <xsl:with-param name="deduction" select="true()"/>
      </xsl:call-template>
      <xsl:call-template name="item">
        <xsl:with-param name="num">10.2</xsl:with-param>
        <xsl:with-param name="level" select="1"/>
        <xsl:with-param name="label" select="$L/@i10.2"/>
        <xsl:with-param name="amount" select="$bvg/*[local-name()='Purchase']"/>
        <xsl:with-param name="deduction" select="true()"/>
      </xsl:call-template>
      <xsl:call-template name="item">
        <xsl:with-param name="num">11.</xsl:with-param>
        <xsl:with-param name="label" select="$L/@i11"/>
        <xsl:with-param name="note" select="$L/@i11-note"/>
        <xsl:with-param name="amount" select="$c/*[local-name()='NetIncome']"/>
        <xsl:with-param name="total" select="true()"/>
      </xsl:call-template>
      <xsl:call-template name="item">
        <xsl:with-param name="num">12.</xsl:with-param>
        <xsl:with-param name="label" select="$L/@i12"/>
        <xsl:with-param name="amount" select="$c/*[local-name()='DeductionAtSource']"/>
        <xsl:with-param name="gap" select="true()"/>
      </xsl:call-template>
      <xsl:call-template name="heading">
        <xsl:with-param name="num">13.</xsl:with-param>
        <xsl:with-param name="label" select="$L/@i13"/>
        <xsl:with-param name="note" select="$L/@i13-note"/>
      </xsl:call-template>
      <xsl:call-template name="heading">
        <xsl:with-param name="num">13.1</xsl:with-param>
        <xsl:with-param name="level" select="1"/>
        <xsl:with-param name="label" select="$L/@i13.1"/>
      </xsl:call-template>
      <xsl:call-template name="item">
        <xsl:with-param name="num">13.1.1</xsl:with-param>
        <xsl:with-param name="level" select="2"/>
        <xsl:with-param name="label" select="$L/@i13.1.1"/>
        <xsl:with-param name="amount" select="$effective/*[local-name()='TravelFoodAccommodation']"/>
        <xsl:with-param name="check" select="concat('', boolean($effective/*[local-name()='TravelFoodAccommodationCHK']))"/>
      </xsl:call-template>
      <xsl:call-template name="item-with-text">
        <xsl:with-param name="L" select="$L"/>
        <xsl:with-param name="num">13.1.2</xsl:with-param>
        <xsl:with-param name="level" select="2"/>
        <xsl:with-param name="label" select="$L/@i13.1.2"/>
        <xsl:with-param name="node" select="$effective/*[local-name()='Other']"/>
      </xsl:call-template>
      <xsl:call-template name="heading">
        <xsl:with-param name="num">13.2</xsl:with-param>
        <xsl:with-param name="level" select="1"/>
        <xsl:with-param name="label" select="$L/@i13.2"/>
      </xsl:call-template>
      <xsl:call-template name="item">
        <xsl:with-param name="num">13.2.1</xsl:with-param>
        <xsl:with-param name="level" select="2"/>
        <xsl:with-param name="label" select="$L/@i13.2.1"/>
        <xsl:with-param name="amount" select="$lumpsum/*[local-name()='Representation']"/>
      </xsl:call-template>
      <xsl:call-template name="item">
        <xsl:with-param name="num">13.2.2</xsl:with-param>
        <xsl:with-param name="level" select="2"/>
        <xsl:with-param name="label" select="$L/@i13.2.2"/>
        <xsl:with-param name="amount" select="$lumpsum/*[local-name()='Car']"/>
      </xsl:call-template>
      <xsl:call-template name="item-with-text">
        <xsl:with-param name="L" select="$L"/>
        <xsl:with-param name="num">13.2.3</xsl:with-param>
        <xsl:with-param name="level" select="2"/>
        <xsl:with-param name="label" select="$L/@i13.2.3"/>
        <xsl:with-param name="node" select="$lumpsum/*[local-name()='Other']"/>
      </xsl:call-template>
      <xsl:call-template name="item">
        <xsl:with-param name="num">13.3</xsl:with-param>
        <xsl:with-param name="level" select="1"/>
        <xsl:with-param name="label" select="$L/@i13.3"/>
        <xsl:with-param name="amount" select="$charges/*[local-name()='Education']"/>
      </xsl:call-template>
      <xsl:call-template name="text-item">
        <xsl:with-param name="num">14.</xsl:with-param>
        <xsl:with-param name="label" select="$L/@i14"/>
        <xsl:with-param name="separator" select="concat(' – ', $L/@art, ' ')"/>
        <xsl:with-param name="text" select="normalize-space($c/*[local-name()='OtherFringeBenefits'])"/>
      </xsl:call-template>
      <xsl:call-template name="text-item">
        <xsl:with-param name="num">15.</xsl:with-param>
        <xsl:with-param name="label" select="$L/@i15"/>
        <xsl:with-param name="separator" select="': '"/>
        <xsl:with-param name="text" select="normalize-space($c/*[local-name()='Remark'])"/>
      </xsl:call-template>
    </fo:block>
  </xsl:template>

  <!--
    The number, its right padding taking the label to its column: 11 mm and 4 mm per level from the
    start of the line, less the width of the number. Padding rather than a leader after it: every
    formatting object of the 36 lines costs layout and PDF time on each certificate.
  -->
  <xsl:template name="number">
    <xsl:param name="num"/>
    <xsl:param name="level"/>
    <xsl:param name="bold"/>
    <xsl:variable name="width">
      <xsl:call-template name="figure-width">
        <xsl:with-param name="text" select="$num"/>
        <xsl:with-param name="bold" select="$bold"/>
      </xsl:call-template>
    </xsl:variable>
    <xsl:variable name="gap" select="concat(format-number((11 + 4 * $level) * $pt-per-mm - 8.5 * $width, '0.###'), 'pt')"/>
    <xsl:choose>
      <xsl:when test="$bold"><fo:inline font-weight="bold" padding-right="{$gap}"><xsl:value-of select="$num"/></fo:inline></xsl:when>
      <xsl:otherwise><fo:inline color="{$label-colour}" padding-right="{$gap}"><xsl:value-of select="$num"/></fo:inline></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- An item with an amount. -->
  <xsl:template name="item">
    <xsl:param name="num"/>
    <xsl:param name="label"/>
    <xsl:param name="note" select="''"/>
    <xsl:param name="amount"/>
    <xsl:param name="level" select="0"/>
    <xsl:param name="deduction" select="false()"/>
    <xsl:param name="total" select="false()"/>
    <xsl:param name="gap" select="false()"/>
    <!-- 'true' or 'false' for the check mark of item 13.1.1, empty for the other items. -->
    <xsl:param name="check" select="''"/>
    <xsl:param name="art" select="false()"/>
    <xsl:param name="art-label" select="''"/>
    <xsl:param name="art-text" select="''"/>
    <fo:block text-align-last="justify" keep-together.within-page="always">
      <xsl:choose>
        <xsl:when test="$total">
          <xsl:attribute name="font-weight">bold</xsl:attribute>
          <xsl:attribute name="line-height">16.17pt</xsl:attribute>
          <xsl:attribute name="border-top">0.9pt solid #000000</xsl:attribute>
          <xsl:attribute name="border-bottom">0.9pt solid #000000</xsl:attribute>
        </xsl:when>
        <xsl:otherwise>
          <xsl:attribute name="border-bottom"><xsl:value-of select="$rule"/></xsl:attribute>
        </xsl:otherwise>
      </xsl:choose>
      <xsl:if test="$gap">
        <xsl:attribute name="padding-top">1.1mm</xsl:attribute>
      </xsl:if>
      <xsl:call-template name="number">
        <xsl:with-param name="num" select="$num"/>
        <xsl:with-param name="level" select="$level"/>
        <xsl:with-param name="bold" select="$level = 0 or $total"/>
      </xsl:call-template>
      <xsl:value-of select="$label"/>
      <xsl:if test="$note != ''">
        <fo:inline font-weight="normal" font-size="7.5pt" color="{$label-colour}">
          <xsl:value-of select="concat(' – ', $note)"/>
        </fo:inline>
      </xsl:if>
      <xsl:if test="$art">
        <fo:inline xsl:use-attribute-sets="inline-label"><xsl:value-of select="concat(' – ', $art-label, ' ')"/></fo:inline>
        <xsl:if test="$art-text != ''">
        <fo:inline xsl:use-attribute-sets="text-value">
          <xsl:call-template name="fit">
            <xsl:with-param name="text" select="$art-text"/>
            <xsl:with-param name="width" select="135 - $level * 4"/>
            <xsl:with-param name="size" select="8.5"/>
            <xsl:with-param name="min" select="6"/>
            <xsl:with-param name="lead">
              <xsl:call-template name="label-width">
                <xsl:with-param name="label" select="$label"/>
                <xsl:with-param name="art" select="concat(' – ', $art-label, ' ')"/>
              </xsl:call-template>
            </xsl:with-param>
          </xsl:call-template>
        </fo:inline>
        </xsl:if>
      </xsl:if>
      <xsl:if test="$check != ''">
        <xsl:text>   </xsl:text>
        <xsl:call-template name="check-mark">
          <xsl:with-param name="set" select="$check = 'true'"/>
          <xsl:with-param name="size">8pt</xsl:with-param>
        </xsl:call-template>
      </xsl:if>
      <fo:leader/>
      <xsl:if test="$deduction">
        <!-- The bold en dash (0.556 em at 8.5 pt) in the middle of the 5 mm before the field. -->
        <fo:inline font-weight="bold" padding-right="4.72pt">–</fo:inline>
      </xsl:if>
      <xsl:call-template name="amount-field">
        <xsl:with-param name="value" select="normalize-space($amount)"/>
        <xsl:with-param name="total" select="$total"/>
      </xsl:call-template>
    </fo:block>
  </xsl:template>

  <!--
    The amount right-aligned in its grey field, 31 mm wide and the height of the line: the field is
    the amount's own background, its left padding the rest of the 31 mm. An amount of 0 or none leaves
    the field empty, but for the totals.
  -->
  <xsl:template name="amount-field">
    <xsl:param name="value"/>
    <xsl:param name="total"/>
    <xsl:variable name="printed">
      <xsl:if test="$total or ($value != '' and not(number($value) = 0))">
        <xsl:call-template name="amount">
          <xsl:with-param name="value" select="$value"/>
        </xsl:call-template>
      </xsl:if>
    </xsl:variable>
    <xsl:variable name="figure-em">
      <xsl:call-template name="figure-width">
        <xsl:with-param name="text" select="$printed"/>
        <xsl:with-param name="bold" select="$total"/>
      </xsl:call-template>
    </xsl:variable>
    <!-- 31 mm less the right padding of 1.5 mm, in pt. -->
    <xsl:variable name="room" select="29.5 * $pt-per-mm"/>
    <xsl:variable name="size">
      <xsl:choose>
        <xsl:when test="$figure-em * 9 &lt;= $room - 1"><xsl:value-of select="9"/></xsl:when>
        <xsl:when test="floor(4 * ($room - 1) div $figure-em) div 4 &gt;= 6">
          <xsl:value-of select="floor(4 * ($room - 1) div $figure-em) div 4"/>
        </xsl:when>
        <xsl:otherwise><xsl:value-of select="6"/></xsl:otherwise>
      </xsl:choose>
    </xsl:variable>
    <xsl:variable name="shown">
      <xsl:choose>
        <xsl:when test="$figure-em * $size &lt;= $room - 1"><xsl:value-of select="$printed"/></xsl:when>
        <xsl:otherwise>
          <xsl:variable name="keep">
            <xsl:call-template name="prefix-length">
              <xsl:with-param name="text" select="$printed"/>
              <xsl:with-param name="em" select="($room - 1) div 6 - 1.02"/>
              <xsl:with-param name="low" select="0"/>
              <xsl:with-param name="high" select="string-length($printed)"/>
            </xsl:call-template>
          </xsl:variable>
          <xsl:value-of select="concat(substring($printed, 1, $keep), '…')"/>
        </xsl:otherwise>
      </xsl:choose>
    </xsl:variable>
    <xsl:variable name="shown-em">
      <xsl:choose>
        <!-- An empty field holds a no-break space, 0.278 em. -->
        <xsl:when test="$shown = ''">0.278</xsl:when>
        <xsl:when test="$shown = $printed"><xsl:value-of select="$figure-em"/></xsl:when>
        <xsl:otherwise>
          <xsl:call-template name="em-width">
            <xsl:with-param name="text" select="$shown"/>
          </xsl:call-template>
        </xsl:otherwise>
      </xsl:choose>
    </xsl:variable>
    <!-- The field covers the line: (line height - text height of the font) / 2 above and below. -->
    <xsl:variable name="line">
      <xsl:choose>
        <xsl:when test="$total">16.17</xsl:when>
        <xsl:otherwise>13.33</xsl:otherwise>
      </xsl:choose>
    </xsl:variable>
    <fo:inline font-size="{$size}pt" padding-right="1.5mm"
               padding-left="{format-number($room - $shown-em * $size, '0.###')}pt"
               padding-top="{format-number(($line - 1.117 * $size) div 2, '0.###')}pt"
               padding-bottom="{format-number(($line - 1.117 * $size) div 2, '0.###')}pt">
      <xsl:attribute name="background-color">
        <xsl:choose>
          <xsl:when test="$total"><xsl:value-of select="$total-colour"/></xsl:when>
          <xsl:otherwise><xsl:value-of select="$field-colour"/></xsl:otherwise>
        </xsl:choose>
      </xsl:attribute>
      <xsl:choose>
        <xsl:when test="$shown = ''">&#xA0;</xsl:when>
        <xsl:otherwise><xsl:value-of select="$shown"/></xsl:otherwise>
      </xsl:choose>
    </fo:inline>
  </xsl:template>

  <!-- An item whose element holds a description (Text) and an amount (Sum). -->
  <xsl:template name="item-with-text">
    <xsl:param name="L"/>
    <xsl:param name="num"/>
    <xsl:param name="label"/>
    <xsl:param name="node"/>
    <xsl:param name="level" select="0"/>
    <xsl:call-template name="item">
      <xsl:with-param name="num" select="$num"/>
      <xsl:with-param name="label" select="$label"/>
      <xsl:with-param name="level" select="$level"/>
      <xsl:with-param name="amount" select="$node/*[local-name()='Sum']"/>
      <xsl:with-param name="art" select="true()"/>
      <xsl:with-param name="art-label" select="$L/@art"/>
      <xsl:with-param name="art-text" select="normalize-space($node/*[local-name()='Text'])"/>
    </xsl:call-template>
  </xsl:template>

  <!-- A group heading without an amount of its own (2, 10, 13, 13.1, 13.2). -->
  <xsl:template name="heading">
    <xsl:param name="num"/>
    <xsl:param name="label"/>
    <xsl:param name="note" select="''"/>
    <xsl:param name="level" select="0"/>
    <fo:block border-bottom="{$rule}" keep-with-next.within-page="always">
      <xsl:call-template name="number">
        <xsl:with-param name="num" select="$num"/>
        <xsl:with-param name="level" select="$level"/>
        <xsl:with-param name="bold" select="$level = 0"/>
      </xsl:call-template>
      <xsl:value-of select="$label"/>
      <xsl:if test="$note != ''">
        <fo:inline font-size="7.5pt" color="{$label-colour}"><xsl:value-of select="concat(' (', $note, ')')"/></fo:inline>
      </xsl:if>
    </fo:block>
  </xsl:template>

  <!--
    Items 14 and 15: a text across the whole width, no amount, on up to three lines that break words
    by the certificate's language.
  -->
  <xsl:template name="text-item">
    <xsl:param name="num"/>
    <xsl:param name="label"/>
    <!-- What stands between label and text, in the small grey type. -->
    <xsl:param name="separator"/>
    <xsl:param name="text"/>
    <!-- The rule spans the number too; the lines after the first start under the label. -->
    <fo:block border-bottom="{$rule}" padding-top="1.2mm" padding-bottom="0.5mm" keep-together.within-page="always">
      <!-- The text belongs to the block itself, not to an inline of its own: FOP marks a hyphen it
           adds inside an inline so that text extraction and screen readers do not see it. -->
      <fo:block line-height="10.5pt" start-indent="11mm" text-indent="-11mm" end-indent="1.5mm" hyphenate="true"
                xsl:use-attribute-sets="text-value">
        <fo:inline font-style="normal">
          <xsl:call-template name="number">
            <xsl:with-param name="num" select="$num"/>
            <xsl:with-param name="level" select="0"/>
            <xsl:with-param name="bold" select="true()"/>
          </xsl:call-template>
          <xsl:value-of select="$label"/>
          <fo:inline xsl:use-attribute-sets="inline-label"><xsl:value-of select="$separator"/></fo:inline>
        </fo:inline>
        <xsl:call-template name="fit">
          <xsl:with-param name="text" select="$text"/>
          <xsl:with-param name="width" select="171"/>
          <xsl:with-param name="lines" select="3"/>
          <xsl:with-param name="size" select="8.5"/>
          <xsl:with-param name="min" select="6"/>
          <xsl:with-param name="lead">
            <xsl:call-template name="label-width">
              <xsl:with-param name="label" select="$label"/>
              <xsl:with-param name="art" select="$separator"/>
            </xsl:call-template>
          </xsl:with-param>
        </xsl:call-template>
      </fo:block>
    </fo:block>
  </xsl:template>

  <!-- ============================================================ box I -->
  <xsl:template name="employer">
    <xsl:param name="L"/>
    <xsl:param name="company"/>
    <xsl:param name="general"/>
    <xsl:variable name="addr" select="$company/*[local-name()='Address']"/>
    <xsl:variable name="contact" select="$general/*[local-name()='ContactPerson']"/>
    <fo:table table-layout="fixed" width="100%" border-top="1.2pt solid #000000">
      <fo:table-column column-width="50mm"/>
      <fo:table-column column-width="134mm"/>
      <fo:table-body>
        <fo:table-row>
          <fo:table-cell padding-top="1.5mm" padding-right="3mm">
            <xsl:call-template name="caption">
              <xsl:with-param name="letter">I</xsl:with-param>
              <xsl:with-param name="label" select="$L/@place-date"/>
            </xsl:call-template>
            <fo:block xsl:use-attribute-sets="head-value">
              <xsl:call-template name="fit">
                <xsl:with-param name="text" select="normalize-space($general/*[local-name()='CityDate'])"/>
                <xsl:with-param name="width" select="46"/>
                <xsl:with-param name="lines" select="2"/>
                <xsl:with-param name="size" select="9.5"/>
                <xsl:with-param name="min" select="7"/>
              </xsl:call-template>
            </fo:block>
          </fo:table-cell>
          <fo:table-cell padding-top="1.5mm" padding-left="3mm" border-left="{$rule}">
            <fo:block xsl:use-attribute-sets="caption"><xsl:value-of select="$L/@confirm"/></fo:block>
            <fo:block font-size="9pt" linefeed-treatment="preserve" space-before="1.5mm">
              <fo:inline font-size="9.5pt" font-weight="bold">
                <xsl:call-template name="fit">
                  <xsl:with-param name="text" select="normalize-space($company/*[local-name()='Name']/*[local-name()='HR-RC-Name'])"/>
                  <xsl:with-param name="width" select="130"/>
                  <xsl:with-param name="size" select="9.5"/>
                  <xsl:with-param name="min" select="6.5"/>
                </xsl:call-template>
              </fo:inline>
              <xsl:text>&#10;</xsl:text>
              <xsl:call-template name="fit">
                <xsl:with-param name="text" select="normalize-space($addr/*[local-name()='Street'])"/>
                <xsl:with-param name="width" select="130"/>
                <xsl:with-param name="size" select="9"/>
                <xsl:with-param name="min" select="6.5"/>
              </xsl:call-template>
              <xsl:text>&#10;</xsl:text>
              <xsl:call-template name="fit">
                <xsl:with-param name="text" select="normalize-space($addr/*[local-name()='ZIP-City'])"/>
                <xsl:with-param name="width" select="130"/>
                <xsl:with-param name="size" select="9"/>
                <xsl:with-param name="min" select="6.5"/>
              </xsl:call-template>
            </fo:block>
            <fo:block font-size="9pt" space-before="1mm">
              <fo:inline xsl:use-attribute-sets="inline-label"><xsl:value-of select="concat($L/@contact, ' ')"/></fo:inline>
              <xsl:call-template name="fit">
                <xsl:with-param name="text" select="normalize-space($contact/*[local-name()='Name'])"/>
                <xsl:with-param name="width" select="60"/>
                <xsl:with-param name="size" select="9"/>
                <xsl:with-param name="min" select="6"/>
              </xsl:call-template>
              <fo:leader leader-pattern="space" leader-length="6mm"/>
              <fo:inline xsl:use-attribute-sets="inline-label"><xsl:value-of select="concat($L/@phone, ' ')"/></fo:inline>
              <xsl:call-template name="fit">
                <xsl:with-param name="text" select="normalize-space($contact/*[local-name()='PhoneNumber'])"/>
                <xsl:with-param name="width" select="38"/>
                <xsl:with-param name="size" select="9"/>
                <xsl:with-param name="min" select="6"/>
              </xsl:call-template>
            </fo:block>
          </fo:table-cell>
        </fo:table-row>
      </fo:table-body>
    </fo:table>
    <fo:block font-size="6.5pt" color="#707070" text-align="end" space-before="1.5mm">
      <xsl:value-of select="concat($L/@created, ' ')"/>
      <xsl:call-template name="date">
        <xsl:with-param name="value" select="normalize-space($general/*[local-name()='CreationDate'])"/>
      </xsl:call-template>
    </fo:block>
  </xsl:template>

  <!-- ============================================================ small parts -->

  <!-- A box letter on a dark ground, as the form marks its boxes. -->
  <xsl:template name="letter">
    <xsl:param name="letter"/>
    <fo:inline font-weight="bold" font-size="7pt" color="#ffffff" background-color="#3a3a3a"
               padding-left="0.7mm" padding-right="0.7mm" padding-top="0.1mm" padding-bottom="0.1mm">
      <xsl:value-of select="$letter"/>
    </fo:inline>
  </xsl:template>

  <xsl:template name="caption">
    <xsl:param name="letter" select="''"/>
    <xsl:param name="label"/>
    <fo:block xsl:use-attribute-sets="caption">
      <xsl:if test="$letter != ''">
        <xsl:call-template name="letter">
          <xsl:with-param name="letter" select="$letter"/>
        </xsl:call-template>
        <xsl:text>  </xsl:text>
      </xsl:if>
      <xsl:value-of select="$label"/>
    </fo:block>
  </xsl:template>

  <xsl:template name="check-mark">
    <xsl:param name="set"/>
    <xsl:param name="size">10pt</xsl:param>
    <fo:inline font-family="{$mark-font}" font-size="{$size}" font-weight="normal">
      <xsl:choose>
        <xsl:when test="$set">&#x2612;</xsl:when>
        <xsl:otherwise>&#x2610;</xsl:otherwise>
      </xsl:choose>
    </fo:inline>
  </xsl:template>

  <xsl:template name="check-line">
    <xsl:param name="letter"/>
    <xsl:param name="set"/>
    <xsl:param name="label"/>
    <fo:block font-size="8.5pt" line-height="1.45">
      <xsl:call-template name="letter">
        <xsl:with-param name="letter" select="$letter"/>
      </xsl:call-template>
      <xsl:text>  </xsl:text>
      <xsl:call-template name="check-mark">
        <xsl:with-param name="set" select="$set"/>
      </xsl:call-template>
      <xsl:text> </xsl:text>
      <xsl:value-of select="$label"/>
    </fo:block>
  </xsl:template>

  <!-- yyyy-mm-dd as dd.mm.yyyy; anything else as it stands, so that no date is ever invented. -->
  <xsl:template name="date">
    <xsl:param name="value"/>
    <xsl:choose>
      <xsl:when test="string-length($value) = 10 and substring($value, 5, 1) = '-' and substring($value, 8, 1) = '-'
                      and translate($value, '0123456789', '') = '--'">
        <xsl:value-of select="concat(substring($value, 9, 2), '.', substring($value, 6, 2), '.', substring($value, 1, 4))"/>
      </xsl:when>
      <xsl:otherwise>
        <xsl:value-of select="$value"/>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- ============================================================ amounts -->

  <!-- An amount with the apostrophe as thousands separator (106800 as 106'800, -1234.5 as -1'234.5); the
       decimals exactly as the document gives them. Anything that is not a plain decimal number prints
       as it stands, so that no figure is ever changed by the layout. -->
  <xsl:template name="amount">
    <xsl:param name="value"/>
    <xsl:variable name="sign" select="substring($value, 1, 1)"/>
    <xsl:variable name="unsigned">
      <xsl:choose>
        <xsl:when test="$sign = '-' or $sign = '+'"><xsl:value-of select="substring($value, 2)"/></xsl:when>
        <xsl:otherwise><xsl:value-of select="$value"/></xsl:otherwise>
      </xsl:choose>
    </xsl:variable>
    <xsl:variable name="whole">
      <xsl:choose>
        <xsl:when test="contains($unsigned, '.')"><xsl:value-of select="substring-before($unsigned, '.')"/></xsl:when>
        <xsl:otherwise><xsl:value-of select="$unsigned"/></xsl:otherwise>
      </xsl:choose>
    </xsl:variable>
    <xsl:variable name="fraction" select="substring-after($unsigned, '.')"/>
    <xsl:choose>
      <xsl:when test="$whole != '' and translate($whole, '0123456789', '') = ''
                      and (not(contains($unsigned, '.')) or ($fraction != '' and translate($fraction, '0123456789', '') = ''))">
        <xsl:if test="$sign = '-'">-</xsl:if>
        <xsl:call-template name="group-thousands">
          <xsl:with-param name="digits" select="$whole"/>
        </xsl:call-template>
        <xsl:if test="contains($unsigned, '.')">
          <xsl:value-of select="concat('.', $fraction)"/>
        </xsl:if>
      </xsl:when>
      <xsl:otherwise>
        <xsl:value-of select="$value"/>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template name="group-thousands">
    <xsl:param name="digits"/>
    <xsl:variable name="n" select="string-length($digits)"/>
    <xsl:choose>
      <xsl:when test="$n &gt; 3">
        <xsl:call-template name="group-thousands">
          <xsl:with-param name="digits" select="substring($digits, 1, $n - 3)"/>
        </xsl:call-template>
        <xsl:value-of select="concat(&quot;'&quot;, substring($digits, $n - 2))"/>
      </xsl:when>
      <xsl:otherwise>
        <xsl:value-of select="$digits"/>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!--
    The exact width in em of a text of figures as Liberation Sans sets it (regular or bold): digits
    0.556, apostrophe 0.191 (bold 0.238), point 0.278, minus 0.333, less the kerning of each pair "11"
    (0.074, bold 0.055). Any other character counts by the estimate of em-width, so that an amount that
    is no number still gets a field of about the right size.
  -->
  <xsl:template name="figure-width">
    <xsl:param name="text"/>
    <xsl:param name="bold"/>
    <xsl:variable name="n" select="string-length($text)"/>
    <xsl:variable name="digits" select="$n - string-length(translate($text, '0123456789', ''))"/>
    <xsl:variable name="apostrophes" select="$n - string-length(translate($text, &quot;'&quot;, ''))"/>
    <xsl:variable name="points" select="$n - string-length(translate($text, '.', ''))"/>
    <xsl:variable name="minus" select="$n - string-length(translate($text, '-', ''))"/>
    <xsl:variable name="ones" select="$n - string-length(translate($text, '1', ''))"/>
    <!-- The ones kept, every other character a blank: k ones in a row are k - 1 kerned pairs. -->
    <xsl:variable name="others" select="translate($text, '1', '')"/>
    <xsl:variable name="runs" select="normalize-space(translate($text, $others, substring($blanks, 1, string-length($others))))"/>
    <xsl:variable name="pairs" select="$ones - (string-length($runs) - string-length(translate($runs, ' ', '')) + 1) * number($ones &gt; 0)"/>
    <xsl:variable name="rest" select="translate($text, &quot;0123456789'.-&quot;, '')"/>
    <xsl:variable name="rest-em">
      <xsl:choose>
        <xsl:when test="$rest = ''">0</xsl:when>
        <xsl:otherwise>
          <xsl:call-template name="em-width">
            <xsl:with-param name="text" select="$rest"/>
          </xsl:call-template>
        </xsl:otherwise>
      </xsl:choose>
    </xsl:variable>
    <xsl:choose>
      <xsl:when test="$bold">
        <xsl:value-of select="0.556 * $digits + 0.238 * $apostrophes + 0.278 * $points + 0.333 * $minus
                              - 0.055 * $pairs + $rest-em"/>
      </xsl:when>
      <xsl:otherwise>
        <xsl:value-of select="0.556 * $digits + 0.191 * $apostrophes + 0.278 * $points + 0.333 * $minus
                              - 0.074 * $pairs + $rest-em"/>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>
  <xsl:variable name="blanks" select="'                                                                                '"/>

  <!-- ============================================================ fitting texts into their boxes -->
  <!--
    FOP neither shrinks a text to its box nor cuts it: a long name would push the footer out of its
    region or run over the next box. So every text from the database is fitted here, before FOP sees
    it: it wraps onto at most `lines` lines of `width` mm, at the font size `size` when it fits, else at
    the largest size down to `min` that fits, else at `min` and cut with "…". On several lines, its
    longest word must fit on one line as well (the hyphenation patterns may not know it).

    The width of a text is estimated from the advance widths of Liberation Sans (regular and bold, the
    wider of the two), class by class, in thousandths of an em; characters outside the classes count
    as one full em and a bit. The estimate is never smaller than the text FOP sets, so a text judged
    to fit on one line does fit. On several lines, wrapping at word ends loses part of a line; a
    reserve per line covers it.
  -->
  <xsl:variable name="w280"> .,:;!|'ijlI</xsl:variable>
  <xsl:variable name="w389">ftr-()[]/\*`{}ìíîïı</xsl:variable>
  <xsl:variable name="w611">abcdeghknopqsuvxyz0123456789$#_?+=&lt;&gt;~^"äöüàáâãåçèéêëñòóôõøùúûýÿčćďěňřšťžźżłőűąęńśů</xsl:variable>
  <xsl:variable name="w722">ABCDEFHJKLNPRSTUVXYZ&amp;ÄÀÁÂÃÅÇÈÉÊËÑÙÚÛÜÝČĆĎĚŇŘŠŤŽŹŻŁŰĄĘŃŚŮ</xsl:variable>
  <xsl:variable name="w778">GOQwÖÓÒÔÕØŐ</xsl:variable>
  <xsl:variable name="w889">mM%</xsl:variable>
  <!-- Reserve per wrapped line for the word that did not fit any more, in em. -->
  <xsl:variable name="wrap-reserve" select="5"/>

  <!-- The estimated width of a text in em. -->
  <xsl:template name="em-width">
    <xsl:param name="text"/>
    <xsl:variable name="n" select="string-length($text)"/>
    <xsl:variable name="c280" select="$n - string-length(translate($text, $w280, ''))"/>
    <xsl:variable name="c389" select="$n - string-length(translate($text, $w389, ''))"/>
    <xsl:variable name="c611" select="$n - string-length(translate($text, $w611, ''))"/>
    <xsl:variable name="c722" select="$n - string-length(translate($text, $w722, ''))"/>
    <xsl:variable name="c778" select="$n - string-length(translate($text, $w778, ''))"/>
    <xsl:variable name="c889" select="$n - string-length(translate($text, $w889, ''))"/>
    <xsl:variable name="rest" select="$n - $c280 - $c389 - $c611 - $c722 - $c778 - $c889"/>
    <xsl:value-of select="(280 * $c280 + 389 * $c389 + 611 * $c611 + 722 * $c722 + 778 * $c778 + 889 * $c889
                          + 1020 * $rest) div 1000"/>
  </xsl:template>

  <!-- The estimated width in em of the widest word of a text. -->
  <xsl:template name="widest-word">
    <xsl:param name="text"/>
    <xsl:param name="widest" select="0"/>
    <xsl:variable name="word">
      <xsl:choose>
        <xsl:when test="contains($text, ' ')"><xsl:value-of select="substring-before($text, ' ')"/></xsl:when>
        <xsl:otherwise><xsl:value-of select="$text"/></xsl:otherwise>
      </xsl:choose>
    </xsl:variable>
    <xsl:variable name="em">
      <xsl:call-template name="em-width">
        <xsl:with-param name="text" select="$word"/>
      </xsl:call-template>
    </xsl:variable>
    <xsl:variable name="wider" select="$widest + ($em - $widest) * number($em &gt; $widest)"/>
    <xsl:choose>
      <xsl:when test="contains($text, ' ')">
        <xsl:call-template name="widest-word">
          <xsl:with-param name="text" select="substring-after($text, ' ')"/>
          <xsl:with-param name="widest" select="$wider"/>
        </xsl:call-template>
      </xsl:when>
      <xsl:otherwise><xsl:value-of select="$wider"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!--
    The text fitted into its box: plain text at `size` (the caller's block or inline is set to it), or
    an fo:inline at the size it needs. `lead` is the width in pt that other text takes on the first
    line (a label in front of it).
  -->
  <xsl:template name="fit">
    <xsl:param name="text"/>
    <xsl:param name="width"/>
    <xsl:param name="lines" select="1"/>
    <xsl:param name="size"/>
    <xsl:param name="min"/>
    <xsl:param name="lead" select="0"/>
    <xsl:choose>
      <!-- Most texts are short: at the widest character each, they still fit on the first line. -->
      <xsl:when test="string-length($text) * 1.02 * $size &lt;= $width * $pt-per-mm - $lead">
        <xsl:value-of select="$text"/>
      </xsl:when>
      <xsl:otherwise>
        <xsl:call-template name="fit-measured">
          <xsl:with-param name="text" select="$text"/>
          <xsl:with-param name="width" select="$width"/>
          <xsl:with-param name="lines" select="$lines"/>
          <xsl:with-param name="size" select="$size"/>
          <xsl:with-param name="min" select="$min"/>
          <xsl:with-param name="lead" select="$lead"/>
        </xsl:call-template>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template name="fit-measured">
    <xsl:param name="text"/>
    <xsl:param name="width"/>
    <xsl:param name="lines"/>
    <xsl:param name="size"/>
    <xsl:param name="min"/>
    <xsl:param name="lead"/>
    <xsl:variable name="em">
      <xsl:call-template name="em-width">
        <xsl:with-param name="text" select="$text"/>
      </xsl:call-template>
    </xsl:variable>
    <!-- On several lines, the widest word must fit on a line of its own. -->
    <xsl:variable name="word-em">
      <xsl:choose>
        <xsl:when test="$lines &gt; 1">
          <xsl:call-template name="widest-word">
            <xsl:with-param name="text" select="$text"/>
          </xsl:call-template>
        </xsl:when>
        <xsl:otherwise>0</xsl:otherwise>
      </xsl:choose>
    </xsl:variable>
    <!-- Room in pt, and the em that the wrap reserve takes away from it. -->
    <xsl:variable name="line-room" select="$width * $pt-per-mm"/>
    <xsl:variable name="room" select="$lines * $line-room - $lead"/>
    <xsl:variable name="reserve" select="($lines - 1) * $wrap-reserve"/>
    <xsl:variable name="by-text" select="floor(4 * $room div ($em + $reserve + 0.001)) div 4"/>
    <xsl:variable name="by-word" select="floor(4 * $line-room div ($word-em + 0.001)) div 4"/>
    <xsl:variable name="largest" select="$by-text + ($by-word - $by-text) * number($by-word &lt; $by-text)"/>
    <xsl:choose>
      <xsl:when test="$text = ''"/>
      <xsl:when test="$largest &gt;= $size">
        <xsl:value-of select="$text"/>
      </xsl:when>
      <xsl:when test="$largest &gt;= $min">
        <fo:inline font-size="{$largest}pt"><xsl:value-of select="$text"/></fo:inline>
      </xsl:when>
      <xsl:otherwise>
        <!-- What fits at the minimum size, with room for the ellipsis (about one em); a word too wide
             for a line ends the text. -->
        <xsl:variable name="keep">
          <xsl:call-template name="prefix-length">
            <xsl:with-param name="text" select="$text"/>
            <xsl:with-param name="em" select="$room div $min - $reserve - 1.02"/>
            <xsl:with-param name="low" select="0"/>
            <xsl:with-param name="high" select="string-length($text)"/>
            <xsl:with-param name="word-em" select="($line-room div $min - 1.02) * number($lines &gt; 1)"/>
          </xsl:call-template>
        </xsl:variable>
        <fo:inline font-size="{$min}pt">
          <xsl:value-of select="concat(normalize-space(substring($text, 1, $keep)), '…')"/>
        </fo:inline>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- The width in pt of an item's label at 8.5 pt and of the text in front of its value at 7.5 pt. -->
  <xsl:template name="label-width">
    <xsl:param name="label"/>
    <xsl:param name="art"/>
    <xsl:variable name="label-em">
      <xsl:call-template name="em-width">
        <xsl:with-param name="text" select="$label"/>
      </xsl:call-template>
    </xsl:variable>
    <xsl:variable name="art-em">
      <xsl:call-template name="em-width">
        <xsl:with-param name="text" select="$art"/>
      </xsl:call-template>
    </xsl:variable>
    <xsl:value-of select="$label-em * 8.5 + $art-em * 7.5"/>
  </xsl:template>

  <!-- The length of the longest start of the text that is at most `em` wide and whose words are each at
       most `word-em` wide (binary search; the longest known to fit is `low`, the shortest known not to
       fit is above `high`). -->
  <xsl:template name="prefix-length">
    <xsl:param name="text"/>
    <xsl:param name="em"/>
    <xsl:param name="low"/>
    <xsl:param name="high"/>
    <xsl:param name="word-em" select="0"/>
    <xsl:choose>
      <xsl:when test="$low &gt;= $high"><xsl:value-of select="$low"/></xsl:when>
      <xsl:otherwise>
        <xsl:variable name="middle" select="ceiling(($low + $high) div 2)"/>
        <xsl:variable name="middle-em">
          <xsl:call-template name="em-width">
            <xsl:with-param name="text" select="substring($text, 1, $middle)"/>
          </xsl:call-template>
        </xsl:variable>
        <xsl:variable name="middle-word-em">
          <xsl:choose>
            <xsl:when test="$word-em &gt; 0">
              <xsl:call-template name="widest-word">
                <xsl:with-param name="text" select="substring($text, 1, $middle)"/>
              </xsl:call-template>
            </xsl:when>
            <xsl:otherwise>0</xsl:otherwise>
          </xsl:choose>
        </xsl:variable>
        <xsl:variable name="fits" select="$middle-em &lt;= $em and $middle-word-em &lt;= $word-em + number($word-em = 0)"/>
        <xsl:call-template name="prefix-length">
          <xsl:with-param name="text" select="$text"/>
          <xsl:with-param name="em" select="$em"/>
          <xsl:with-param name="low" select="$low + ($middle - $low) * number($fits)"/>
          <xsl:with-param name="high" select="$middle - 1 + ($high - $middle + 1) * number($fits)"/>
          <xsl:with-param name="word-em" select="$word-em"/>
        </xsl:call-template>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- ============================================================ attribute sets -->
  <xsl:attribute-set name="head-box">
    <xsl:attribute name="absolute-position">absolute</xsl:attribute>
    <xsl:attribute name="border">0.4pt solid #7a7a7a</xsl:attribute>
    <xsl:attribute name="padding">1.2mm</xsl:attribute>
  </xsl:attribute-set>

  <xsl:attribute-set name="caption">
    <xsl:attribute name="font-size">7pt</xsl:attribute>
    <xsl:attribute name="color">#303030</xsl:attribute>
    <xsl:attribute name="line-height">1.3</xsl:attribute>
  </xsl:attribute-set>

  <xsl:attribute-set name="head-value">
    <xsl:attribute name="font-size">9.5pt</xsl:attribute>
    <xsl:attribute name="space-before">0.6mm</xsl:attribute>
  </xsl:attribute-set>

  <xsl:attribute-set name="inline-label">
    <xsl:attribute name="font-size">7.5pt</xsl:attribute>
    <xsl:attribute name="font-weight">normal</xsl:attribute>
    <xsl:attribute name="color">#303030</xsl:attribute>
  </xsl:attribute-set>

  <xsl:attribute-set name="text-value">
    <xsl:attribute name="font-size">8.5pt</xsl:attribute>
    <xsl:attribute name="font-style">italic</xsl:attribute>
  </xsl:attribute-set>

</xsl:stylesheet>
